// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QLoggingCategory>
#include <QStringList>

/// Collects what one logging category says while it lives, at every level whatever
/// QT_LOGGING_RULES turns off; the other categories go on to the usual output.
class MessageCapture
{
public:
    explicit MessageCapture(const char *category)
    {
        s_category = category;
        s_messages.clear();
        s_previousHandler = qInstallMessageHandler(&MessageCapture::handle);
        s_previousFilter = QLoggingCategory::installFilter(&MessageCapture::filter);
    }
    ~MessageCapture()
    {
        QLoggingCategory::installFilter(s_previousFilter);
        qInstallMessageHandler(s_previousHandler);
    }
    MessageCapture(const MessageCapture &) = delete;
    MessageCapture &operator=(const MessageCapture &) = delete;

    QStringList texts(QtMsgType type) const
    {
        QStringList texts;
        for (const auto &[kind, text] : s_messages) {
            if (kind == type)
                texts << text;
        }
        return texts;
    }

private:
    static void filter(QLoggingCategory *category)
    {
        if (s_previousFilter)
            s_previousFilter(category);
        if (s_category == category->categoryName()) {
            for (QtMsgType type : {QtDebugMsg, QtInfoMsg, QtWarningMsg, QtCriticalMsg})
                category->setEnabled(type, true);
        }
    }
    static void handle(QtMsgType type, const QMessageLogContext &context, const QString &text)
    {
        if (context.category && s_category == context.category)
            s_messages.append({type, text});
        else if (s_previousHandler)
            s_previousHandler(type, context, text);
    }

    static inline QByteArray s_category;
    static inline QList<std::pair<QtMsgType, QString>> s_messages;
    static inline QtMessageHandler s_previousHandler = nullptr;
    static inline QLoggingCategory::CategoryFilter s_previousFilter = nullptr;
};
