#include "korvexform.h"

#include "modalshowing.h"
#include "scripteditor.h"
#include "ui_korvexform.h"

#include "platform/qt/windowregistry.h"
#include "platform/uipulse.h"
#include "plugin/hostmessages.h"
#include "window/exceptionbox.h"
#include "window/scriptrun.h"

#include <QAbstractItemView>
#include <QCloseEvent>
#include <QFile>
#include <QKeyEvent>
#include <QLayout>
#include <QStyledItemDelegate>
#include <utility>

namespace {

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

/// Draws list items one line of their font high.
class LineHighDelegate : public QStyledItemDelegate
{
public:
    using QStyledItemDelegate::QStyledItemDelegate;
    QSize sizeHint(const QStyleOptionViewItem &option, const QModelIndex &index) const override
    {
        QSize size = QStyledItemDelegate::sizeHint(option, index);
        size.setHeight(option.fontMetrics.height());
        return size;
    }
};

} // namespace

std::unique_ptr<ScriptWindow> ScriptWindow::create(platform::WindowHandle parent)
{
    return std::make_unique<TfrmKorvex>(parent);
}

TfrmKorvex::TfrmKorvex(platform::WindowHandle parent)
    // What a dialog offers, nothing more: minimizing it would leave the editor disabled with no
    // visible window (the hints count only with CustomizeWindowHint).
    : QDialog(platform::widgetOf(parent), Qt::Dialog | Qt::CustomizeWindowHint |
                                              Qt::WindowStaysOnTopHint | Qt::WindowTitleHint |
                                              Qt::WindowSystemMenuHint | Qt::WindowCloseButtonHint),
      ui(std::make_unique<Ui::TfrmKorvex>())
{
    ui->setupUi(this);
    setFont(formFont());
    ui->Memo1->setFont(memoFont());
    // The list's items one line of the font high, as the Part's 12 pixels are for its font
    // (the style's menu-like items were twice that).
    ui->cboScripts->view()->setItemDelegate(new LineHighDelegate(ui->cboScripts->view()));
    // Every control whole at the smallest size the window allows.
    layout()->setSizeConstraint(QLayout::SetMinimumSize);

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
    connect(ui->btnStop, &QAbstractButton::clicked, this, &TfrmKorvex::btnStopClick);
    // Shown only while a script runs long enough to be seen running, and after a Stop.
    ui->RunBar1->hide();

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
        if (FormKeyDown(static_cast<QKeyEvent *>(event)->key()))
            return true;
    }
    return QDialog::eventFilter(watched, event);
}

bool TfrmKorvex::FormKeyDown(int key)
{
    if (key != Qt::Key_Escape)
        return false;
    if (ScriptRun::isRunning())
        ScriptRun::requestStop();
    else
        close();
    return true;
}

void TfrmKorvex::closeEvent(QCloseEvent *event)
{
    if (ScriptRun::isRunning()) {
        event->ignore();
        ScriptRun::requestStop();
        return;
    }
    QDialog::closeEvent(event);
}

template <typename Handler> void TfrmKorvex::guarded(Handler &&handler)
{
    // The toolkit's rule: a failing handler is reported in a box and the window stays open.
    ExceptionBox::guarded(m_handle, std::forward<Handler>(handler));
}

void TfrmKorvex::AttachToView(platform::WindowHandle view)
{
    m_viewWindow = view;
    ui->RunBar1->hide(); // a stop of an earlier command is no news any more
    place();
    ui->chkSelectArea->setChecked(plugin::getSelType(view) != 0);
    m_scriptsFolder.prepare();
    ListScripts();
}

void TfrmKorvex::place()
{
    // The window's real size is known only once its layout has been worked out, which happens
    // on the first showing: work it out now, so that the first showing is centred too.
    ensurePolished();
    layout()->activate();
    const QRect frame = frameGeometry();
    const Position position =
        placeOver(platform::getWindowRect(m_viewWindow), frame.width(), frame.height());
    move(position.left, position.top);
}

void TfrmKorvex::showEvent(QShowEvent *event)
{
    QDialog::showEvent(event);
    // A window manager's frame is known only now: centre with it.
    if (frameGeometry().size() != size())
        place();
    // Typing goes into the script straight away, never into the selection-only box.
    ui->Memo1->setFocus(Qt::OtherFocusReason);
}

void TfrmKorvex::showModal()
{
    ModalShowing::exec(*this);
}

void TfrmKorvex::endShowing()
{
    if (ScriptRun::isRunning()) {
        // The window cannot go while its run is on the stack: the run ends first.
        m_endAfterRun = true;
        ScriptRun::requestStop();
        return;
    }
    if (isVisible())
        reject();
}

void TfrmKorvex::ListScripts()
{
    ui->cboScripts->clear();
    for (const std::string &name : m_scriptsFolder.list())
        ui->cboScripts->addItem(QFile::decodeName(QByteArray::fromStdString(name)));
    ui->cboScripts->setCurrentIndex(-1); // listing chooses nothing
}

void TfrmKorvex::SpeedButton1Click()
{
    if (ScriptRun::isRunning())
        return; // one run at a time
    m_endAfterRun = false;
    guarded([this] { runScript(); });
    if (ui->btnStop->isEnabled() && !ui->RunBar1->isHidden())
        setRunning(false); // a failure of the plug-in's own ended the run
    if (m_endAfterRun) {
        m_endAfterRun = false;
        reject();
    }
}

void TfrmKorvex::runScript()
{
    ui->RunBar1->hide(); // the last run's "stopped" goes
    const ScriptRun::Outcome outcome =
        ScriptRun::run(m_viewWindow, ScriptEditor::lines(*ui->Memo1),
                       m_scriptsFolder.scriptFileName(), ui->chkSelectArea->isChecked(), this);
    if (outcome == ScriptRun::Outcome::Stopped) {
        // The window stays with its script; the document is as it was.
        setRunning(false);
        ui->lblRunning->setText(QStringLiteral("スクリプトを停止しました"));
        ui->RunBar1->show();
        return;
    }
    close();
}

void TfrmKorvex::showRunning(double seconds, std::size_t lines)
{
    if (ui->RunBar1->isHidden() || !ui->btnStop->isEnabled())
        setRunning(true);
    ui->lblRunning->setText(QStringLiteral("実行中 %1 秒　出力 %2 行")
                                .arg(seconds, 0, 'f', 1)
                                .arg(static_cast<qulonglong>(lines)));
    platform::UiPulse::serviceEvents(m_handle);
}

void TfrmKorvex::setRunning(bool running)
{
    // What would start something else, or change what runs, waits for the run to end.
    for (QWidget *control :
         {static_cast<QWidget *>(ui->SpeedButton1), static_cast<QWidget *>(ui->SpeedButton3),
          static_cast<QWidget *>(ui->cboScripts), static_cast<QWidget *>(ui->chkSelectArea)})
        control->setEnabled(!running);
    ui->Memo1->setReadOnly(running);
    ui->btnStop->setEnabled(running);
    ui->btnStop->setVisible(running);
    ui->RunBar1->setVisible(running);
}

void TfrmKorvex::SpeedButton2Click()
{
    if (ScriptRun::isRunning())
        ScriptRun::requestStop();
    else
        close();
}

void TfrmKorvex::btnStopClick()
{
    ScriptRun::requestStop();
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
    const std::string name = QFile::encodeName(ui->cboScripts->currentText()).toStdString();
    const std::optional<std::string> bytes = m_scriptsFolder.load(name);
    if (!bytes)
        return; // a folder or a vanished file: nothing to load
    ScriptEditor::load(*ui->Memo1, *bytes);
}
