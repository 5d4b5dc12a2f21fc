#pragma once

#include "platform/windowhandle.h"

#include <QDialog>
#include <memory>
#include <string>

namespace Ui {
class TfrmKorvex;
}

/**
 * The script window: a script editor, the list of scripts in Documents/Korvex, and Run,
 * Cancel and Refresh. One object serves every command; closing it only hides it and ends
 * its modal showing, so the script text stays for the next command.
 */
class TfrmKorvex : public QDialog
{
    Q_OBJECT

public:
    /// Creates the window under @p parent (none: a top-level window with no owner).
    explicit TfrmKorvex(platform::WindowHandle parent = nullptr);
    ~TfrmKorvex() override;

    /// Prepares the window for showing over @p view: centres it on the view (never at negative
    /// coordinates), sets the selection-only box from the view's selection state, makes sure
    /// the scripts folder exists and lists it.
    void AttachToView(platform::WindowHandle view);
    /// Refills the scripts list from the scripts folder, in the file system's order.
    void ListScripts();

    /// The view given by the last AttachToView.
    platform::WindowHandle viewWindow() const { return m_viewWindow; }
    /// The scripts folder, without a trailing separator.
    const std::string &scriptsFolder() const { return m_scriptsFolder; }
    /// The file the script in the editor runs as: the script last loaded from the list, or
    /// "untitled.rb" in the scripts folder before any was loaded.
    std::string scriptFileName() const;
    /// This window's own handle (owner of its message boxes).
    platform::WindowHandle handle() const { return m_handle; }

public Q_SLOTS:
    /// Run: filters the selection (or the whole document) through the script, then closes.
    void SpeedButton1Click();
    /// Cancel: closes the window.
    void SpeedButton2Click();
    /// Refresh: lists the scripts folder again.
    void SpeedButton3Click();
    /// Loads the chosen script into the editor; a folder or a vanished file is ignored.
    void cboScriptsChange();

protected:
    /// Closes the window on Escape, whichever control has the focus.
    void FormKeyDown(int key, Qt::KeyboardModifiers shift);
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    template <typename Handler> void guarded(Handler &&handler);
    void watchKeys(QWidget *widget);
    void run();
    void loadChosenScript();

    std::unique_ptr<Ui::TfrmKorvex> ui;
    platform::WindowHandle m_handle = nullptr;
    platform::WindowHandle m_viewWindow = nullptr;
    std::string m_scriptsFolder;
    std::string m_loadedScript; // full path of the script last loaded from the list
};
