#include "mainframe.h"

#include "editorview.h"
#include "platform/qt/windowregistry.h"
#include "pluginsdialog.h"

#include <QAction>
#include <QApplication>
#include <QCloseEvent>
#include <QDir>
#include <QFileDialog>
#include <QFileInfo>
#include <QMenuBar>
#include <QMessageBox>
#include <QScreen>
#include <QStatusBar>
#include <QTextCursor>
#include <QToolBar>

MainFrame::MainFrame(QWidget *parent) : QMainWindow(parent)
{
    m_handle = platform::createWindow(
        "PlintharMainFrame3", nullptr,
        [](platform::WindowHandle, platform::MessageId, platform::WParam, platform::LParam) {
            return platform::LResult(0);
        },
        this);
    m_view = new EditorView(m_handle, this);
    m_view->setObjectName(QStringLiteral("view"));
    m_view->setUpdateCommandHandler([this](std::uint32_t id) { updateCommandState(id); });
    setCentralWidget(m_view);
    connect(m_view, &QPlainTextEdit::selectionChanged, this, &MainFrame::refreshPlugins);
    connect(m_view->document(), &QTextDocument::modificationChanged, this, &MainFrame::updateTitle);
    buildMenus();
    statusBar()->showMessage(tr("Ready"));
    resize(720, 480);
    updateTitle();
}

MainFrame::~MainFrame()
{
    while (!m_plugins.empty()) {
        InstalledPlugin &plugin = m_plugins.back();
        plugin.library->onEvents(m_view->handle(), EVT_RELEASE, 0);
        m_plugins.pop_back();
    }
    platform::destroyWindow(m_handle);
}

void MainFrame::buildMenus()
{
    QMenu *file = menuBar()->addMenu(tr("&File"));
    file->addAction(tr("&Open..."), QKeySequence::Open, this, &MainFrame::openFileDialog);
    file->addAction(tr("&Save"), QKeySequence::Save, this, &MainFrame::saveDocument);
    file->addAction(tr("Save &As..."), QKeySequence::SaveAs, this, &MainFrame::saveDocumentAs);
    file->addSeparator();
    file->addAction(tr("&Quit"), QKeySequence::Quit, this, &QWidget::close);

    QMenu *edit = menuBar()->addMenu(tr("&Edit"));
    QAction *undo = edit->addAction(tr("&Undo"), QKeySequence::Undo, m_view, &QPlainTextEdit::undo);
    QAction *redo = edit->addAction(tr("&Redo"), QKeySequence::Redo, m_view, &QPlainTextEdit::redo);
    undo->setEnabled(false);
    redo->setEnabled(false);
    connect(m_view, &QPlainTextEdit::undoAvailable, undo, &QAction::setEnabled);
    connect(m_view, &QPlainTextEdit::redoAvailable, redo, &QAction::setEnabled);
    edit->addSeparator();
    edit->addAction(tr("Select &All"), QKeySequence::SelectAll, m_view, &QPlainTextEdit::selectAll);

    m_pluginMenu = menuBar()->addMenu(tr("&Plug-ins"));
    m_pluginSeparator = m_pluginMenu->addSeparator();
    m_pluginMenu->addAction(tr("Plug-ins..."), this, &MainFrame::showPluginsDialog);

    m_toolBar = addToolBar(tr("Plug-ins"));
    m_toolBar->setObjectName(QStringLiteral("pluginToolBar"));
    m_toolBar->setIconSize(QSize(16, 16));
}

QStringList MainFrame::loadPluginFolder(const QString &folder)
{
    QStringList errors;
    const QDir dir(folder);
    const QStringList names =
        dir.entryList({QStringLiteral("*.so")}, QDir::Files | QDir::Readable, QDir::Name);
    for (const QString &name : names) {
        QString error;
        if (!loadPlugin(dir.filePath(name), &error))
            errors << error;
    }
    return errors;
}

bool MainFrame::loadPlugin(const QString &path, QString *error)
{
    std::unique_ptr<PluginLibrary> library = PluginLibrary::open(path, error);
    if (!library)
        return false;
    const platform::WindowHandle view = m_view->handle();
    InstalledPlugin plugin;
    plugin.commandId = m_nextCommandId++;
    plugin.action = new QAction(library->menuText(), this);
    plugin.action->setStatusTip(library->statusText());
    plugin.action->setToolTip(library->menuText());
    const QScreen *screen = QGuiApplication::primaryScreen();
    plugin.action->setIcon(library->toolbarIcon(view, screen ? screen->depth() : 24));
    plugin.action->setData(plugin.commandId);
    const std::uint32_t commandId = plugin.commandId;
    connect(plugin.action, &QAction::triggered, this, [this, commandId] {
        for (std::size_t i = 0; i < m_plugins.size(); ++i) {
            if (m_plugins[i].commandId == commandId)
                runCommand(i);
        }
    });
    m_pluginMenu->insertAction(m_pluginSeparator, plugin.action);
    m_toolBar->addAction(plugin.action);
    plugin.library = std::move(library);
    m_plugins.push_back(std::move(plugin));

    const PluginLibrary &lib = *m_plugins.back().library;
    lib.onEvents(view, EVT_SET_COMMAND_ID, std::intptr_t(commandId));
    lib.onEvents(view, EVT_REFRESH, 0);
    return true;
}

void MainFrame::updateCommandState(std::uint32_t commandId)
{
    for (const InstalledPlugin &plugin : m_plugins) {
        if (plugin.commandId == commandId)
            plugin.action->setEnabled(plugin.library->queryStatus(m_view->handle()));
    }
}

void MainFrame::refreshPlugins()
{
    for (const InstalledPlugin &plugin : m_plugins)
        plugin.library->onEvents(m_view->handle(), EVT_REFRESH, 0);
}

void MainFrame::runCommand(std::size_t index)
{
    if (index >= m_plugins.size() || m_commandRunning)
        return;
    // Everything the command does to the document is one undo step.
    QTextCursor block(m_view->document());
    block.beginEditBlock();
    m_commandRunning = true;
    m_plugins[index].library->onCommand(m_view->handle());
    m_commandRunning = false;
    block.endEditBlock();
}

bool MainFrame::uninstallPlugin(std::size_t index)
{
    if (index >= m_plugins.size() || m_commandRunning)
        return false;
    const platform::WindowHandle view = m_view->handle();
    if (m_plugins[index].library->plugInProc(view, PLUGIN_QUERY_UNINSTALL, 0, 0) != 1)
        return false;
    InstalledPlugin plugin = std::move(m_plugins[index]);
    m_plugins.erase(m_plugins.begin() + std::ptrdiff_t(index));
    plugin.library->onEvents(view, EVT_RELEASE, 0);
    m_pluginMenu->removeAction(plugin.action);
    m_toolBar->removeAction(plugin.action);
    plugin.action->deleteLater();
    return true;
}

bool MainFrame::openDocument(const QString &path, QString *error)
{
    QString text;
    if (!m_document.load(path, &text, error))
        return false;
    m_view->setPlainText(text);
    m_view->document()->setModified(false);
    updateTitle();
    return true;
}

QString MainFrame::documentText() const
{
    // toRawText keeps non-breaking spaces, which toPlainText would turn into spaces.
    QString text = m_view->document()->toRawText();
    text.replace(QChar::ParagraphSeparator, QLatin1Char('\n'));
    text.replace(QChar::LineSeparator, QLatin1Char('\n'));
    return text;
}

bool MainFrame::maybeSave()
{
    if (!m_view->document()->isModified())
        return true;
    const auto answer = QMessageBox::question(
        this, tr("Plinthar"), tr("The document has unsaved changes. Save them?"),
        QMessageBox::Save | QMessageBox::Discard | QMessageBox::Cancel);
    if (answer == QMessageBox::Save)
        return saveDocument();
    return answer == QMessageBox::Discard;
}

void MainFrame::closeEvent(QCloseEvent *event)
{
    if (maybeSave())
        event->accept();
    else
        event->ignore();
}

void MainFrame::openFileDialog()
{
    if (!maybeSave())
        return;
    const QString path = QFileDialog::getOpenFileName(this, tr("Open"));
    if (path.isEmpty())
        return;
    QString error;
    if (!openDocument(path, &error))
        QMessageBox::critical(this, tr("Plinthar"), error);
}

bool MainFrame::saveDocument()
{
    if (m_document.path().isEmpty())
        return saveDocumentAs();
    QString error;
    if (!m_document.save(m_document.path(), documentText(), &error)) {
        QMessageBox::critical(this, tr("Plinthar"), error);
        return false;
    }
    m_view->document()->setModified(false);
    updateTitle();
    return true;
}

bool MainFrame::saveDocumentAs()
{
    const QString path = QFileDialog::getSaveFileName(this, tr("Save As"), m_document.path());
    if (path.isEmpty())
        return false;
    QString error;
    if (!m_document.save(path, documentText(), &error)) {
        QMessageBox::critical(this, tr("Plinthar"), error);
        return false;
    }
    m_view->document()->setModified(false);
    updateTitle();
    return true;
}

void MainFrame::showPluginsDialog()
{
    PluginsDialog dialog(this);
    dialog.exec();
}

void MainFrame::updateTitle()
{
    const QString name =
        m_document.path().isEmpty() ? tr("Untitled") : QFileInfo(m_document.path()).fileName();
    setWindowTitle(
        QStringLiteral("%1%2 - Plinthar")
            .arg(name, m_view->document()->isModified() ? QStringLiteral("*") : QString()));
}
