#pragma once

#include "host/qt/mainframe.h"

#include "platform/messagebox.h"
#include "platform/qt/messageboxhook.h"

#include <QString>
#include <QTemporaryDir>
#include <gtest/gtest.h>
#include <memory>

class QAction;
class QDialog;

/// plinthar's main frame with the built Korvex.so loaded as the editor loads it, a private
/// Documents/Korvex folder and a box hook that records instead of blocking.
class KorvexInPlintharFixture : public ::testing::Test
{
protected:
    void SetUp() override;
    void TearDown() override;

    /// Korvex's entry in the Plug-ins menu.
    QAction *korvexAction() const;
    /// Sets the document text (breaks as "\n") and selects @p start to @p end.
    void setDocument(const QString &text, int start = 0, int end = 0);
    QString document() const;
    /// Invokes Korvex from its menu entry and, inside its window, types @p script (or picks
    /// @p pick from the list when @p script is empty), sets "selection only" when asked, and
    /// presses Run. Answers whether the window closed.
    bool runFromMenu(const QString &script, const QString &pick = {});
    void writeScript(const QString &name, const QByteArray &bytes) const;

    QTemporaryDir home;
    QByteArray savedHome;
    platform::MessageBoxHook savedHook;
    std::vector<std::string> boxes;
    std::unique_ptr<MainFrame> frame;
};
