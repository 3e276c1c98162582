// SPDX-License-Identifier: GPL-3.0-or-later
// The program's translations are complete and current: every text of the code has a finished
// translation with the same arguments, and lupdate run on the code finds nothing new.
#include <QFile>
#include <QProcess>
#include <QRegularExpression>
#include <QSet>
#include <QTemporaryDir>
#include <QTest>
#include <QXmlStreamReader>

namespace {

struct Message
{
    QString context;
    QString source;
    QStringList translations; ///< one, or one per plural form
    QString type;             ///< "unfinished", "vanished", "obsolete" or empty
    QString key() const { return context + u'\x1f' + source; }
};

QList<Message> readTs(const QString &path, QString *error)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) {
        *error = file.errorString();
        return {};
    }
    QList<Message> messages;
    QXmlStreamReader xml(&file);
    QString context;
    Message message;
    bool inTranslation = false;
    bool plural = false;
    QString text;
    while (!xml.atEnd()) {
        xml.readNext();
        if (xml.isStartElement()) {
            if (xml.name() == u"name") {
                context = xml.readElementText();
            } else if (xml.name() == u"message") {
                message = Message{context, {}, {}, {}};
            } else if (xml.name() == u"source") {
                message.source = xml.readElementText();
            } else if (xml.name() == u"translation") {
                message.type = xml.attributes().value(QLatin1String("type")).toString();
                inTranslation = true;
                plural = false;
                text.clear();
            } else if (xml.name() == u"numerusform") {
                plural = true;
                message.translations << xml.readElementText();
            }
        } else if (xml.isCharacters() && inTranslation) {
            text += xml.text();
        } else if (xml.isEndElement() && xml.name() == u"translation") {
            inTranslation = false;
            if (!plural)
                message.translations << text;
        } else if (xml.isEndElement() && xml.name() == u"message") {
            messages << message;
        }
    }
    if (xml.hasError())
        *error = xml.errorString();
    return messages;
}

/// The arguments a text takes: %1 to %99 and the plural's %n.
QSet<QString> argumentsOf(const QString &text)
{
    static const QRegularExpression argument(QStringLiteral("%(\\d{1,2}|n)"));
    QSet<QString> found;
    for (const QRegularExpressionMatch &match : argument.globalMatch(text))
        found << match.captured();
    return found;
}

} // namespace

class TestTranslations : public QObject
{
    Q_OBJECT

private slots:
    void isCompleteAndCurrent_data()
    {
        QTest::addColumn<QString>("ts");
        for (const QString &ts : QStringLiteral(TORNASQUILLO_TS_FILES).split(u'|'))
            QTest::newRow(qPrintable(ts.section(u'/', -1))) << ts;
    }
    void isCompleteAndCurrent()
    {
        QFETCH(QString, ts);
        QString error;
        const QList<Message> messages = readTs(ts, &error);
        QVERIFY2(error.isEmpty(), qPrintable(error));
        QVERIFY(!messages.isEmpty());

        QStringList faults;
        for (const Message &message : messages) {
            const QString where = message.context + QStringLiteral(": \"") + message.source + u'"';
            if (!message.type.isEmpty())
                faults << message.type + QStringLiteral(": ") + where;
            if (message.translations.isEmpty())
                faults << QStringLiteral("untranslated: ") + where;
            for (const QString &translation : message.translations) {
                if (translation.trimmed().isEmpty())
                    faults << QStringLiteral("empty translation: ") + where;
                else if (argumentsOf(translation) != argumentsOf(message.source))
                    faults << QStringLiteral("arguments differ in \"") + translation +
                                  QStringLiteral("\" of ") + where;
            }
        }

        // lupdate on a copy, with the program's options and its sources: a text added to the
        // code, or changed there, shows up as a message the .ts lacks.
        QTemporaryDir dir;
        const QString copy = dir.filePath(ts.section(u'/', -1));
        QVERIFY(QFile::copy(ts, copy));
        QProcess lupdate;
        lupdate.setProcessChannelMode(QProcess::MergedChannels);
        lupdate.start(QStringLiteral(TORNASQUILLO_LUPDATE),
                      QStringLiteral(TORNASQUILLO_LUPDATE_OPTIONS).split(u'|') +
                          QStringList{QStringLiteral("@" TORNASQUILLO_SOURCES_LIST),
                                      QStringLiteral("-ts"), copy});
        QVERIFY(lupdate.waitForFinished(120000));
        QVERIFY2(lupdate.exitCode() == 0, lupdate.readAll().constData());
        const QList<Message> current = readTs(copy, &error);
        QVERIFY2(error.isEmpty(), qPrintable(error));
        QSet<QString> known;
        for (const Message &message : messages)
            known << message.key();
        QSet<QString> inCode;
        for (const Message &message : current) {
            inCode << message.key();
            if (!known.contains(message.key()))
                faults << QStringLiteral("not in the .ts (run the target update_translations): ") +
                              message.context + QStringLiteral(": \"") + message.source + u'"';
        }
        for (const Message &message : messages) {
            if (!inCode.contains(message.key()))
                faults << QStringLiteral(
                              "no longer in the code (run the target update_translations): ") +
                              message.context + QStringLiteral(": \"") + message.source + u'"';
        }
        QVERIFY2(faults.isEmpty(), qPrintable(faults.join(u'\n')));
    }
};

QTEST_GUILESS_MAIN(TestTranslations)
#include "tst_translations.moc"
