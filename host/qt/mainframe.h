#pragma once

#include "documentfile.h"
#include "host/pluginset.h"
#include "platform/windowhandle.h"
#include "pluginlibrary.h"

#include <QMainWindow>
#include <QStringList>
#include <memory>
#include <vector>

class EditorView;
class QAction;
class QLabel;
class QMenu;
class QToolBar;

/// The editor's main frame: a top-level window of class "PlintharMainFrame3" holding the
/// editor view, the File, Edit and Plug-ins menus, a toolbar and a status bar with the caret's
/// line and column.
class MainFrame : public QMainWindow
{
    Q_OBJECT

public:
    /// One plug-in as the frame shows it.
    struct InstalledPlugin
    {
        std::unique_ptr<PluginLibrary> library;
        std::uint32_t commandId = 0;
        QAction *action = nullptr;
    };

    explicit MainFrame(QWidget *parent = nullptr);
    /// Releases and unloads every plug-in before the view goes away.
    ~MainFrame() override;

    platform::WindowHandle handle() const { return m_handle; }
    EditorView *view() const { return m_view; }
    DocumentFile &document() { return m_document; }

    /// Loads every "*.so" in @p folder, in name order; answers the errors, one per library.
    QStringList loadPluginFolder(const QString &folder);
    /// Loads the plug-in @p path, gives it a command id, a menu entry and a toolbar button;
    /// false with @p error set when it cannot be loaded or is not a plug-in.
    bool loadPlugin(const QString &path, QString *error);
    const std::vector<InstalledPlugin> &plugins() const { return m_plugins.all(); }

    /// Invokes plug-in @p index's command on the view as one undo step.
    void runCommand(std::size_t index);
    /// Asks plug-in @p index to confirm (query 0x907), then releases and unloads it; false
    /// when the user declined or a command is running.
    bool uninstallPlugin(std::size_t index);

    /// Opens @p path into the view, its bytes as they are; false with @p error set (and the
    /// view unchanged) when it cannot be read.
    bool openDocument(const QString &path, QString *error);
    /// Writes the document's bytes to @p path, which becomes the document's file, and marks
    /// it unmodified; false with @p error set when it cannot be written.
    bool writeDocument(const QString &path, QString *error);
    /// The document's bytes as they are.
    QByteArray documentBytes() const;
    /// The document's text decoded from UTF-8, for display and tests.
    QString documentText() const;

protected:
    /// Offers to save unsaved changes before the frame closes.
    void closeEvent(QCloseEvent *event) override;

private:
    bool maybeSave();
    void buildMenus();
    void updateCommandState(std::uint32_t commandId);
    void refreshPlugins();
    void openFileDialog();
    bool saveDocument();
    bool saveDocumentAs();
    void showPluginsDialog();
    void updateTitle();
    void updateUndoActions();
    void updateCaretPosition();
    void find();
    void findAgain(bool forward);

    QAction *m_undo = nullptr;
    QAction *m_redo = nullptr;
    QLabel *m_position = nullptr;
    QString m_findText;

    platform::WindowHandle m_handle = nullptr;
    EditorView *m_view = nullptr;
    QMenu *m_pluginMenu = nullptr;
    QAction *m_pluginSeparator = nullptr;
    QToolBar *m_toolBar = nullptr;
    DocumentFile m_document;
    PluginSet<InstalledPlugin, EditorView> m_plugins;
};
