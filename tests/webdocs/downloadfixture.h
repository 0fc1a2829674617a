#pragma once
// A download window, a loopback server and a private folder per test; message boxes are
// answered at once and remembered, and the percentages the window painted are collected.

#include "common/messages.h"
#include "tests/support/httptestserver.h"
#include "tests/support/qstringprint.h"
#include "tests/support/sandbox.h"
#include "webdocs/HttpDownload.h"

#include <QApplication>
#include <QEvent>
#include <QLabel>
#include <QStringList>
#include <gtest/gtest.h>

class PaintWatcher : public QObject {
public:
    explicit PaintWatcher(QLabel* label) : label_(label) { label->installEventFilter(this); }
    QStringList texts;          // each new text the label was painted with
    bool busyAtLastPaint = false;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override
    {
        if (watched == label_ && event->type() == QEvent::Paint) {
            if (texts.isEmpty() || texts.last() != label_->text())
                texts << label_->text();
            const QCursor* cursor = QApplication::overrideCursor();
            busyAtLastPaint = cursor && cursor->shape() == Qt::WaitCursor;
        }
        return false;
    }

private:
    QLabel* label_;
};

class DownloadFixture : public ::testing::Test {
protected:
    DownloadFixture()
    {
        setMessageHandler([this](const MessageRequest& request) {
            messages << request.caption + QStringLiteral("|") + request.text;
            messageIcons.push_back(request.icon);
            cursorAtMessage = QApplication::overrideCursor();
            visibleAtMessage = form.isVisible();
            return MessageAnswer::Ok;
        });
    }
    ~DownloadFixture() override { setMessageHandler({}); }

    QString path(const QString& name) const { return sandbox.workFolder() + QStringLiteral("/") + name; }

    // Downloads server path urlPath into the work folder's file name.
    bool fetch(const QString& urlPath, const QString& name = QStringLiteral("a.jpg"))
    {
        return downloadtofile(path(name), server.url(urlPath));
    }

    QString failureText(const QString& urlPath) const
    {
        return QStringLiteral("FEIL|Feil i nedlasting av: ") + server.url(urlPath);
    }

    Sandbox sandbox;
    HttpTestServer server;
    THttpDownloadForm form;
    PaintWatcher percents{form.LPercent};
    QStringList messages;
    std::vector<MessageIcon> messageIcons;
    const QCursor* cursorAtMessage = nullptr;
    bool visibleAtMessage = false;
};
