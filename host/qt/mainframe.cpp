#include "mainframe.h"

#include "editorview.h"
#include "platform/qt/windowregistry.h"
#include "pluginsdialog.h"

#include <QAction>
#include <QApplication>
#include <QCloseEvent>
#include <QDir>
#include <QFile>
#include <QFileDialog>
#include <QFileInfo>
#include <QInputDialog>
#include <QLabel>
#include <QLineEdit>
#include <QMenuBar>
#include <QMessageBox>
#include <QScreen>
#include <QStatusBar>
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
    connect(m_view, &QsciScintilla::selectionChanged, this, &MainFrame::refreshPlugins);
    connect(m_view, &QsciScintilla::modificationChanged, this, &MainFrame::updateTitle);
    connect(m_view, &QsciScintilla::textChanged, this, &MainFrame::updateUndoActions);
    connect(m_view, &QsciScintilla::cursorPositionChanged, this, &MainFrame::updateCaretPosition);
    buildMenus();
    m_position = new QLabel(this);
    m_position->setObjectName(QStringLiteral("caretPosition"));
    statusBar()->addPermanentWidget(m_position);
    statusBar()->showMessage(tr("Ready"));
    resize(720, 480);
    updateTitle();
    updateUndoActions();
    updateCaretPosition();
}

MainFrame::~MainFrame()
{
    m_plugins.releaseAll(*m_view);
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
    m_undo = edit->addAction(tr("&Undo"), QKeySequence::Undo, m_view, &QsciScintilla::undo);
    m_redo = edit->addAction(tr("&Redo"), QKeySequence::Redo, m_view, &QsciScintilla::redo);
    edit->addSeparator();
    edit->addAction(tr("&Find..."), QKeySequence::Find, this, &MainFrame::find);
    edit->addAction(tr("Find &Next"), QKeySequence::FindNext, this, [this] { findAgain(true); });
    edit->addAction(tr("Find &Previous"), QKeySequence::FindPrevious, this,
                    [this] { findAgain(false); });
    edit->addSeparator();
    // Not connected to selectAll(bool) directly: the action's checked state would deselect.
    edit->addAction(tr("Select &All"), QKeySequence::SelectAll, this,
                    [this] { m_view->selectAll(); });

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
    plugin.commandId = m_plugins.nextCommandId();
    plugin.action = new QAction(library->menuText(), this);
    plugin.action->setStatusTip(library->statusText());
    plugin.action->setToolTip(library->menuText());
    const QScreen *screen = QGuiApplication::primaryScreen();
    plugin.action->setIcon(library->toolbarIcon(view, screen ? screen->depth() : 24));
    plugin.action->setData(plugin.commandId);
    const std::uint32_t commandId = plugin.commandId;
    connect(plugin.action, &QAction::triggered, this, [this, commandId] {
        if (const std::optional<std::size_t> index = m_plugins.indexOf(commandId))
            runCommand(*index);
    });
    m_pluginMenu->insertAction(m_pluginSeparator, plugin.action);
    m_toolBar->addAction(plugin.action);
    plugin.library = std::move(library);
    m_plugins.add(std::move(plugin), *m_view, [] {});
    return true;
}

void MainFrame::updateCommandState(std::uint32_t commandId)
{
    for (const InstalledPlugin &plugin : m_plugins.all()) {
        if (plugin.commandId == commandId)
            plugin.action->setEnabled(plugin.library->queryStatus(m_view->handle()));
    }
}

void MainFrame::refreshPlugins()
{
    m_plugins.refresh(*m_view);
}

void MainFrame::runCommand(std::size_t index)
{
    m_plugins.run(index, *m_view);
}

bool MainFrame::uninstallPlugin(std::size_t index)
{
    const std::optional<InstalledPlugin> plugin = m_plugins.uninstall(index, *m_view);
    if (!plugin)
        return false;
    m_pluginMenu->removeAction(plugin->action);
    m_toolBar->removeAction(plugin->action);
    plugin->action->deleteLater();
    return true;
}

bool MainFrame::openDocument(const QString &path, QString *error)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) {
        *error = tr("Cannot open \"%1\": %2").arg(path, file.errorString());
        return false;
    }
    QString reason;
    if (!m_view->readFrom(file, &reason)) {
        *error = tr("Cannot read \"%1\": %2").arg(path, reason);
        return false;
    }
    m_document.setPath(path);
    updateTitle();
    updateUndoActions();
    return true;
}

bool MainFrame::writeDocument(const QString &path, QString *error)
{
    if (!m_document.save(path, m_view->bytes(), error))
        return false;
    m_view->setModified(false);
    updateTitle();
    return true;
}

QByteArray MainFrame::documentBytes() const
{
    return m_view->bytes().toByteArray();
}

QString MainFrame::documentText() const
{
    return QString::fromUtf8(m_view->bytes());
}

bool MainFrame::maybeSave()
{
    if (!m_view->isModified())
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
    if (!writeDocument(m_document.path(), &error)) {
        QMessageBox::critical(this, tr("Plinthar"), error);
        return false;
    }
    return true;
}

bool MainFrame::saveDocumentAs()
{
    const QString path = QFileDialog::getSaveFileName(this, tr("Save As"), m_document.path());
    if (path.isEmpty())
        return false;
    QString error;
    if (!writeDocument(path, &error)) {
        QMessageBox::critical(this, tr("Plinthar"), error);
        return false;
    }
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
    setWindowTitle(QStringLiteral("%1%2 - Plinthar")
                       .arg(name, m_view->isModified() ? QStringLiteral("*") : QString()));
}

void MainFrame::updateUndoActions()
{
    m_undo->setEnabled(m_view->isUndoAvailable());
    m_redo->setEnabled(m_view->isRedoAvailable());
}

void MainFrame::updateCaretPosition()
{
    // The column counts characters, a tab as far as the next tab stop, as editors show it.
    const long caret = m_view->SendScintilla(QsciScintillaBase::SCI_GETCURRENTPOS);
    const long line = m_view->SendScintilla(QsciScintillaBase::SCI_LINEFROMPOSITION,
                                            static_cast<unsigned long>(caret));
    const long column =
        m_view->SendScintilla(QsciScintillaBase::SCI_GETCOLUMN, static_cast<unsigned long>(caret));
    const LineEnding style = m_view->lineEnding();
    m_position->setText(tr("Line %1, Column %2    %3")
                            .arg(line + 1)
                            .arg(column + 1)
                            .arg(style == LineEnding::CrLf ? QStringLiteral("CR LF")
                                 : style == LineEnding::Cr ? QStringLiteral("CR")
                                                           : QStringLiteral("LF")));
}

void MainFrame::find()
{
    bool ok = false;
    const QString text = QInputDialog::getText(this, tr("Find"), tr("Find what:"),
                                               QLineEdit::Normal, m_findText, &ok);
    if (!ok || text.isEmpty())
        return;
    m_findText = text;
    findAgain(true);
}

void MainFrame::findAgain(bool forward)
{
    if (m_findText.isEmpty()) {
        find();
        return;
    }
    // From the caret, wrapping around the end; backwards from the start of the selection, so
    // that the match just found is not found again.
    int line = -1;
    int index = -1;
    if (!forward) {
        int lineTo = 0;
        int indexTo = 0;
        m_view->getSelection(&line, &index, &lineTo, &indexTo);
    }
    if (!m_view->findFirst(m_findText, false, false, false, true, forward, line, index))
        statusBar()->showMessage(tr("\"%1\" was not found.").arg(m_findText), 5000);
}
