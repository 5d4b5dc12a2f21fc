#include "korvexform.h"

#include "exceptionbox.h"
#include "scripttext.h"
#include "ui_korvexform.h"

#include "platform/shellfolders.h"
#include "plugin/hostmessages.h"
#include "plugin/plintharplugin.h"
#include "runner/linelist.h"
#include "runner/zerith.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QKeyEvent>
#include <stdexcept>
#include <utility>

namespace {

// The prelude every run starts with; on this runtime the global is plain and harmless.
constexpr std::string_view Prelude = "$KCODE = \"SJIS\"";

QFont formFont()
{
    QFont font;
    font.setFamilies({QStringLiteral("ＭＳ Ｐゴシック"), QStringLiteral("Noto Sans CJK JP"),
                      QStringLiteral("IPAPGothic"), QStringLiteral("VL PGothic")});
    font.setPixelSize(12);
    return font;
}

QFont memoFont()
{
    QFont font;
    font.setFamilies({QStringLiteral("ＭＳ ゴシック"), QStringLiteral("Noto Sans Mono CJK JP"),
                      QStringLiteral("IPAGothic"), QStringLiteral("VL Gothic")});
    font.setStyleHint(QFont::TypeWriter);
    font.setFixedPitch(true);
    font.setPixelSize(12);
    return font;
}

QString localPath(const std::string &path)
{
    return QFile::decodeName(QByteArray::fromStdString(path));
}

} // namespace

TfrmKorvex::TfrmKorvex(platform::WindowHandle parent)
    : QDialog(platform::widgetOf(parent), Qt::Dialog | Qt::WindowStaysOnTopHint |
                                              Qt::WindowTitleHint | Qt::WindowSystemMenuHint |
                                              Qt::WindowCloseButtonHint),
      ui(std::make_unique<Ui::TfrmKorvex>())
{
    ui->setupUi(this);
    setFont(formFont());
    ui->Memo1->setFont(memoFont());

    m_handle = platform::createWindow(
        "TfrmKorvex", parent,
        [](platform::WindowHandle, platform::MessageId, platform::WParam, platform::LParam) {
            return platform::LResult(0);
        },
        this);

    connect(ui->SpeedButton1, &QAbstractButton::clicked, this, &TfrmKorvex::SpeedButton1Click);
    connect(ui->SpeedButton2, &QAbstractButton::clicked, this, &TfrmKorvex::SpeedButton2Click);
    connect(ui->SpeedButton3, &QAbstractButton::clicked, this, &TfrmKorvex::SpeedButton3Click);
    connect(ui->cboScripts, &QComboBox::activated, this, &TfrmKorvex::cboScriptsChange);

    // Key preview: the window sees every key before the focused control does.
    watchKeys(this);
    for (QWidget *child : findChildren<QWidget *>())
        watchKeys(child);
}

TfrmKorvex::~TfrmKorvex()
{
    platform::destroyWindow(m_handle);
}

void TfrmKorvex::watchKeys(QWidget *widget)
{
    widget->installEventFilter(this);
}

bool TfrmKorvex::eventFilter(QObject *watched, QEvent *event)
{
    if (event->type() == QEvent::KeyPress) {
        const auto *key = static_cast<QKeyEvent *>(event);
        FormKeyDown(key->key(), key->modifiers());
        if (key->key() == Qt::Key_Escape)
            return true;
    }
    return QDialog::eventFilter(watched, event);
}

void TfrmKorvex::FormKeyDown(int key, Qt::KeyboardModifiers /*shift*/)
{
    if (key == Qt::Key_Escape)
        close();
}

template <typename Handler> void TfrmKorvex::guarded(Handler &&handler)
{
    // The toolkit's rule: a failing handler is reported in a box and the window stays open.
    ExceptionBox::guarded(m_handle, std::forward<Handler>(handler));
}

void TfrmKorvex::AttachToView(platform::WindowHandle view)
{
    m_viewWindow = view;

    const QRect viewRect = platform::getWindowRect(view);
    // Right and bottom are exclusive, as in a Windows rectangle.
    const int x = (viewRect.left() + viewRect.left() + viewRect.width()) / 2;
    const int y = (viewRect.top() + viewRect.top() + viewRect.height()) / 2;
    const QRect frame = frameGeometry();
    const int left = std::max(0, x - frame.width() / 2);
    const int top = std::max(0, y - frame.height() / 2);
    move(left, top);

    ui->chkSelectArea->setChecked(plugin::getSelType(view) != 0);

    const std::string documents = platform::documentsFolder();
    if (documents.empty()) {
        m_scriptsFolder.clear(); // no documents folder: nothing to list
    } else {
        m_scriptsFolder = documents;
        if (m_scriptsFolder.back() != '/')
            m_scriptsFolder += '/';
        m_scriptsFolder += "Korvex";
        const QString folder = localPath(m_scriptsFolder);
        if (!QFileInfo(folder).isDir())
            QDir().mkdir(folder); // one level only; a failure leaves the list empty
    }
    ListScripts();
}

void TfrmKorvex::ListScripts()
{
    ui->cboScripts->clear();
    if (m_scriptsFolder.empty())
        return;
    const QDir folder(localPath(m_scriptsFolder), QStringLiteral("*.rb"), QDir::NoSort,
                      QDir::AllEntries | QDir::Hidden | QDir::System | QDir::NoDotAndDotDot);
    for (const QString &name : folder.entryList())
        ui->cboScripts->addItem(name);
    ui->cboScripts->setCurrentIndex(-1); // listing chooses nothing
}

void TfrmKorvex::SpeedButton1Click()
{
    guarded([this] { run(); });
}

void TfrmKorvex::SpeedButton2Click()
{
    close();
}

void TfrmKorvex::SpeedButton3Click()
{
    guarded([this] { ListScripts(); });
}

void TfrmKorvex::cboScriptsChange()
{
    guarded([this] { loadChosenScript(); });
}

void TfrmKorvex::loadChosenScript()
{
    if (ui->cboScripts->currentIndex() < 0)
        return;
    const std::string path =
        m_scriptsFolder + '/' + QFile::encodeName(ui->cboScripts->currentText()).toStdString();
    const QString localName = localPath(path);
    if (!QFileInfo(localName).isFile())
        return; // a folder or a vanished file: nothing to load
    QFile file(localName);
    if (!file.open(QIODevice::ReadOnly))
        throw std::runtime_error("ファイル " + path + " は開けません");
    const QByteArray content = file.readAll();
    ScriptText::load(*ui->Memo1, std::string_view(content.constData(), content.size()));
    m_loadedScript = path;
}

std::string TfrmKorvex::scriptFileName() const
{
    if (!m_loadedScript.empty())
        return m_loadedScript;
    return m_scriptsFolder.empty() ? std::string() : m_scriptsFolder + "/untitled.rb";
}

void TfrmKorvex::run()
{
    LineList inputLines;
    LineList resultLines;
    TZerith runner(nullptr);

    inputLines = LineList{Prelude};
    runner.setScript(inputLines);
    runner.Execute(nullptr);
    inputLines.clear();

    if (!ui->chkSelectArea->isChecked())
        plugin::execCommand(m_viewWindow, CMD_SELECT_ALL);
    inputLines.adoptText(plugin::readSelectedText(m_viewWindow));

    runner.setScript(ScriptText::lines(*ui->Memo1));
    runner.setScriptFileName(scriptFileName());
    // The input is handed over, not copied: it is not needed here any more.
    runner.setParams(std::move(inputLines));
    runner.Execute(&resultLines);
    runner.setParams(LineList()); // the script has its own ARGV; free the input early

    // The lines' own storage already is the joined text; it is taken, not copied.
    const std::string text = resultLines.takeText();
    // The selection is removed only once the output is ready: a failure before this point
    // leaves the document as it was.
    plugin::execCommand(m_viewWindow, CMD_DELETE);
    plugin::insertString(m_viewWindow, text.c_str());

    close();
}
