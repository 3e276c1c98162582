// SPDX-License-Identifier: GPL-3.0-or-later
#include "phone_link/state_folder.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QTest>

#include <sys/stat.h>

namespace {

mode_t modeOf(const QString &path)
{
    struct stat info
    {
    };
    return ::stat(QFile::encodeName(path).constData(), &info) == 0 ? info.st_mode & 0777 : 0;
}

} // namespace

class TestStateFolder : public QObject
{
    Q_OBJECT

private slots:
    void aFileIsReplacedWholeAndKeptForItsOwner()
    {
        QTemporaryDir home;
        const QString path = home.path() + QStringLiteral("/state/tornasquillo");
        const StateFolder folder(path);
        QString error = QStringLiteral("stale");
        QCOMPARE(folder.read(QStringLiteral("pin"), &error), std::nullopt);
        QVERIFY(error.isEmpty());

        QVERIFY(folder.write(QStringLiteral("pin"), "first\n", &error));
        QVERIFY(folder.write(QStringLiteral("pin"), "second\n", &error));
        QCOMPARE(folder.read(QStringLiteral("pin")), QByteArray("second\n"));
        QCOMPARE(modeOf(path), mode_t(0700));
        QCOMPARE(modeOf(path + QStringLiteral("/pin")), mode_t(0600));
        QCOMPARE(QDir(path).entryList(QDir::Files), QStringList{QStringLiteral("pin")});

        // A folder that cannot be made (a file stands in its place) says why.
        const StateFolder blocked(path + QStringLiteral("/pin/tornasquillo"));
        QVERIFY(!blocked.write(QStringLiteral("pin"), "third\n", &error));
        QVERIFY(!error.isEmpty());
        QCOMPARE(folder.read(QStringLiteral("pin")), QByteArray("second\n"));
    }

    void theFolderComesFromTheEnvironment_data()
    {
        QTest::addColumn<QByteArray>("stateDirectory");
        QTest::addColumn<QByteArray>("xdgStateHome");
        QTest::addColumn<QString>("expected");
        const QString home = QDir::homePath();
        QTest::newRow("the service's") << QByteArray("/var/lib/tornasquillo:/var/lib/other")
                                       << QByteArray("/x") << "/var/lib/tornasquillo";
        QTest::newRow("XDG's") << QByteArray() << QByteArray("/x/state") << "/x/state/tornasquillo";
        QTest::newRow("a relative XDG path is none")
            << QByteArray() << QByteArray("state") << home + "/.local/state/tornasquillo";
        QTest::newRow("the default")
            << QByteArray() << QByteArray() << home + "/.local/state/tornasquillo";
    }
    void theFolderComesFromTheEnvironment()
    {
        QFETCH(QByteArray, stateDirectory);
        QFETCH(QByteArray, xdgStateHome);
        QFETCH(QString, expected);
        qputenv("STATE_DIRECTORY", stateDirectory);
        qputenv("XDG_STATE_HOME", xdgStateHome);
        QCOMPARE(StateFolder::defaultPath(), expected);
    }
};

QTEST_GUILESS_MAIN(TestStateFolder)
#include "tst_state_folder.moc"
