#include "korvexformqt.h"

#include "ui_korvexform.h"

#include "platform/qt/windowregistry.h"
#include "platform/textcoding.h"
#include "window/korvexform.h"
#include "window/toolkittexts.h"

#include <QAbstractItemView>
#include <QCloseEvent>
#include <QFile>
#include <QKeyEvent>
#include <QLayout>
#include <QStyledItemDelegate>
#include <QTextBlock>
#include <stdexcept>

namespace {

QFont fontOf(const QStringList &families, bool fixedPitch)
{
    QFont font;
    font.setFamilies(families);
    if (fixedPitch) {
        font.setStyleHint(QFont::TypeWriter);
        font.setFixedPitch(true);
    }
    font.setPixelSize(12);
    return font;
}

/// The script editor's line @p block as bytes in @p coding.
std::string lineBytes(const QTextBlock &block, platform::TextCoding coding)
{
    // Block by block: toPlainText() would turn no-break spaces into plain ones.
    const QString text = block.text();
    return platform::editorBytes(
        std::u16string_view(reinterpret_cast<const char16_t *>(text.utf16()),
                            std::size_t(text.size())),
        coding);
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

std::unique_ptr<TfrmKorvex> TfrmKorvex::create(platform::WindowHandle parent)
{
    return std::make_unique<TfrmKorvex>(
        [parent](TfrmKorvex &form) { return std::make_unique<KorvexFormQt>(form, parent); });
}

KorvexFormQt::KorvexFormQt(TfrmKorvex &form, platform::WindowHandle parent)
    // What a dialog offers, nothing more: minimizing it would leave the editor disabled with no
    // visible window (the hints count only with CustomizeWindowHint).
    : QDialog(platform::widgetOf(parent), Qt::Dialog | Qt::CustomizeWindowHint |
                                              Qt::WindowStaysOnTopHint | Qt::WindowTitleHint |
                                              Qt::WindowSystemMenuHint | Qt::WindowCloseButtonHint),
      m_form(form), ui(std::make_unique<Ui::TfrmKorvex>())
{
    ui->setupUi(this);
    setFont(fontOf({QStringLiteral("ＭＳ Ｐゴシック"), QStringLiteral("Noto Sans CJK JP"),
                    QStringLiteral("IPAPGothic"), QStringLiteral("VL PGothic")},
                   false));
    ui->Memo1->setFont(
        fontOf({QStringLiteral("ＭＳ ゴシック"), QStringLiteral("Noto Sans Mono CJK JP"),
                QStringLiteral("IPAGothic"), QStringLiteral("VL Gothic")},
               true));
    // The list's items one line of the font high (the style's menu-like items were twice that).
    ui->cboScripts->view()->setItemDelegate(new LineHighDelegate(ui->cboScripts->view()));
    // Every control whole at the smallest size the window allows.
    layout()->setSizeConstraint(QLayout::SetMinimumSize);
    ui->RunBar1->hide();

    m_handle = platform::createWindow(
        "TfrmKorvex", parent,
        [](platform::WindowHandle, platform::MessageId, platform::WParam, platform::LParam) {
            return platform::LResult(0);
        },
        this);

    connect(ui->SpeedButton1, &QAbstractButton::clicked, this,
            [this] { m_form.SpeedButton1Click(); });
    connect(ui->SpeedButton2, &QAbstractButton::clicked, this,
            [this] { m_form.SpeedButton2Click(); });
    connect(ui->SpeedButton3, &QAbstractButton::clicked, this,
            [this] { m_form.SpeedButton3Click(); });
    connect(ui->cboScripts, &QComboBox::activated, this, [this] { m_form.cboScriptsChange(); });
    connect(ui->btnStop, &QAbstractButton::clicked, this, [this] { m_form.btnStopClick(); });
    // Key preview: the window sees every key before the focused control does.
    installEventFilter(this);
    for (QWidget *child : findChildren<QWidget *>())
        child->installEventFilter(this);
}

KorvexFormQt::~KorvexFormQt()
{
    platform::destroyWindow(m_handle);
}

bool KorvexFormQt::eventFilter(QObject *watched, QEvent *event)
{
    if (event->type() == QEvent::KeyPress &&
        static_cast<QKeyEvent *>(event)->key() == Qt::Key_Escape &&
        m_form.FormKeyDown(TfrmKorvex::VkEscape))
        return true;
    return QDialog::eventFilter(watched, event);
}

void KorvexFormQt::showEvent(QShowEvent *event)
{
    QDialog::showEvent(event);
    m_form.FormShow();
    // Typing goes into the script straight away, never into the selection-only box.
    ui->Memo1->setFocus(Qt::OtherFocusReason);
}

void KorvexFormQt::closeEvent(QCloseEvent *event)
{
    // Whether and how the window closes is the form's to decide.
    event->ignore();
    m_form.FormClose();
}

platform::Rect KorvexFormQt::frameRect()
{
    // The real size is known only once the layout has been worked out, which Qt does on the
    // first showing: work it out now, so that the first showing is centred too.
    ensurePolished();
    layout()->activate();
    return platform::fromQRect(frameGeometry());
}

void KorvexFormQt::moveTo(int left, int top)
{
    move(left, top);
}

void KorvexFormQt::runModal()
{
    exec();
}

void KorvexFormQt::endModal()
{
    if (isVisible())
        reject();
}

bool KorvexFormQt::selectionOnly() const
{
    return ui->chkSelectArea->isChecked();
}

void KorvexFormQt::setSelectionOnly(bool checked)
{
    ui->chkSelectArea->setChecked(checked);
}

void KorvexFormQt::setScriptNames(const std::vector<std::string> &names)
{
    ui->cboScripts->clear();
    for (const std::string &name : names)
        ui->cboScripts->addItem(QFile::decodeName(QByteArray::fromStdString(name)));
    ui->cboScripts->setCurrentIndex(-1);
}

std::optional<std::string> KorvexFormQt::chosenScriptName() const
{
    if (ui->cboScripts->currentIndex() < 0)
        return std::nullopt;
    return QFile::encodeName(ui->cboScripts->currentText()).toStdString();
}

LineList KorvexFormQt::scriptLines(platform::TextCoding coding) const
{
    LineList lines;
    for (QTextBlock block = ui->Memo1->document()->begin(); block.isValid(); block = block.next()) {
        if (block.next().isValid() || block.length() > 1) // not the final empty line
            lines.append(lineBytes(block, coding));
    }
    return lines;
}

std::string KorvexFormQt::scriptText(platform::TextCoding coding) const
{
    std::string text;
    for (QTextBlock block = ui->Memo1->document()->begin(); block.isValid(); block = block.next())
        text += (block.previous().isValid() ? "\r\n" : "") + lineBytes(block, coding);
    return text;
}

void KorvexFormQt::setScriptText(const std::string &text, platform::TextCoding coding)
{
    // QString holds at most 2^31 - 1 code units on 32-bit sizes; the editor is far smaller in
    // practice, so refuse texts that could not possibly be edited.
    if (text.size() > std::size_t(1) << 30)
        throw std::runtime_error(ToolkitTexts::memoLimitExceeded());
    QString decoded = QString::fromStdU16String(platform::editorText(text, coding));
    decoded.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
    ui->Memo1->setPlainText(decoded);
}

void KorvexFormQt::showRunState(RunState state, const std::string &text)
{
    const bool running = state == RunState::Running;
    // What would start something else, or change what runs, waits for the run to end.
    for (QWidget *control :
         {static_cast<QWidget *>(ui->SpeedButton1), static_cast<QWidget *>(ui->SpeedButton3),
          static_cast<QWidget *>(ui->cboScripts), static_cast<QWidget *>(ui->chkSelectArea)})
        control->setEnabled(!running);
    ui->Memo1->setReadOnly(running);
    ui->btnStop->setEnabled(running);
    ui->btnStop->setVisible(running);
    ui->lblRunning->setText(QString::fromStdString(text));
    ui->RunBar1->setVisible(state != RunState::Idle);
}
