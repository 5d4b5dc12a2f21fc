#pragma once

#include "window/rundisplay.h"
#include "window/scriptsfolder.h"
#include "window/scriptwindow.h"

#include <QDialog>
#include <memory>
#include <string>

namespace Ui {
class TfrmKorvex;
}

/**
 * The script window in Qt: a script editor, the list of scripts in Documents/Korvex, and Run,
 * Cancel and Refresh. One object serves every command; closing it only hides it and ends its
 * modal showing, so the script text stays for the next command. While a script runs longer
 * than a moment, a bar at the bottom shows it running with Stop; Escape, Cancel and the frame's
 * close button then mean Stop, and a stopped run leaves the window open saying so.
 */
class TfrmKorvex : public QDialog, public ScriptWindow, public RunDisplay
{
    Q_OBJECT

public:
    /// Creates the window under @p parent (none: a top-level window with no owner).
    explicit TfrmKorvex(platform::WindowHandle parent = nullptr);
    ~TfrmKorvex() override;

    void AttachToView(platform::WindowHandle view) override;
    void showModal() override;
    /// Closes the window if it is shown; during a run, stops the script first and closes the
    /// window once the run has ended.
    void endShowing() override;
    bool isShown() const override { return isVisible(); }
    platform::WindowHandle handle() const override { return m_handle; }

    /// Refills the scripts list from the scripts folder, in the file system's order.
    void ListScripts();

    /// The view given by the last AttachToView.
    platform::WindowHandle viewWindow() const { return m_viewWindow; }
    /// The scripts folder, without a trailing separator.
    const std::string &scriptsFolder() const { return m_scriptsFolder.path(); }

public Q_SLOTS:
    /// Run: filters the selection (or the whole document) through the script, then closes.
    void SpeedButton1Click();
    /// Cancel: closes the window.
    void SpeedButton2Click();
    /// Refresh: lists the scripts folder again.
    void SpeedButton3Click();
    /// Loads the chosen script into the editor; a folder or a vanished file is ignored.
    void cboScriptsChange();
    /// Stop: asks the running script to stop (again: forces it); nothing without a run.
    void btnStopClick();

protected:
    /// Key preview: closes the window on Escape (stops the script during a run), whichever
    /// control has the focus and whatever the shift state. Answers whether the key was used up.
    bool FormKeyDown(int key);
    bool eventFilter(QObject *watched, QEvent *event) override;
    void showEvent(QShowEvent *event) override;
    /// The frame's close button: Stop during a run, else closing.
    void closeEvent(QCloseEvent *event) override;
    void showRunning(double seconds, std::size_t lines) override;

private:
    void place();
    template <typename Handler> void guarded(Handler &&handler);
    void watchKeys(QWidget *widget);
    void loadChosenScript();
    void runScript();
    void setRunning(bool running);

    bool m_endAfterRun = false; // endShowing came during a run

    std::unique_ptr<Ui::TfrmKorvex> ui;
    platform::WindowHandle m_handle = nullptr;
    platform::WindowHandle m_viewWindow = nullptr;
    ScriptsFolder m_scriptsFolder;
};
