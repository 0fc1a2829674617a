#pragma once
// The web folder dialogs' tests: a private settings file opened as at start-up, the
// folder chooser answered through its seam, and what the dialogs stored read back.

#include "common/choosefolder.h"
#include "common/hs_reg.h"
#include "common/platform.h"
#include "tests/support/qstringprint.h"
#include "tests/support/sandbox.h"

#include <QStringList>
#include <QWidget>
#include <gtest/gtest.h>
#include <optional>

class WebfolderFixture : public ::testing::Test {
protected:
    WebfolderFixture()
    {
        SettingsStore::instance().reset();
        openini(settingsFile());
        setFolderDialog([this](const QString&, const QString& start) {
            chooserStarts << start;
            return chooserAnswer;
        });
    }
    ~WebfolderFixture() override
    {
        setFolderDialog({});
        SettingsStore::instance().reset();
    }

    QString settingsFile() const { return sandbox.appData() + QStringLiteral("/kvarnelo.ini"); }
    static QString sep() { return Platform::separator(); }

    static void store(std::initializer_list<std::pair<const char*, QString>> values)
    {
        for (const auto& [key, value] : values)
            writeinistring(QString::fromLatin1(key), value);
    }
    // The stored value of a key of STANDARD; nothing when the key is not there at all.
    static std::optional<QString> stored(const QString& key)
    {
        const IniDocument& document = *SettingsStore::instance().document;
        if (!document.keys(QStringLiteral("STANDARD")).contains(key, Qt::CaseInsensitive))
            return std::nullopt;
        return document.value(QStringLiteral("STANDARD"), key);
    }

    // The focusable controls in the order the Tab key visits them, from first.
    static QStringList tabOrder(QWidget* first)
    {
        QStringList names;
        QWidget* w = first;
        do {
            if ((w->focusPolicy() & Qt::TabFocus) && w->window() == first->window() && !w->objectName().isEmpty()
                && !w->objectName().startsWith(QStringLiteral("qt_")))
                names << w->objectName();
            w = w->nextInFocusChain();
        } while (w && w != first);
        return names;
    }

    Sandbox sandbox;
    QStringList chooserStarts;              // where the folder chooser was opened
    std::optional<QString> chooserAnswer;   // what it answers; nothing: cancelled
};
