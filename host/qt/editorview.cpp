#include "editorview.h"

#include "host/linebreaks.h"
#include "platform/qt/windowregistry.h"
#include "plinthar/plintharplugin.h"

#include <QAccessibleWidget>
#include <QFontDatabase>
#include <QIODevice>
#include <algorithm>
#include <cstring>
#include <string>
#include <vector>

namespace {

/// While it lives, changes to the document send no notifications: for each change QScintilla
/// would copy the changed text and decode it for accessibility, which for a large text costs
/// more than the change itself. When it goes, the view announces the change once.
class QuietChange
{
public:
    explicit QuietChange(EditorView &view)
        : m_view(view), m_mask(view.SendScintilla(QsciScintillaBase::SCI_GETMODEVENTMASK)),
          m_lines(view.lines())
    {
        view.SendScintilla(QsciScintillaBase::SCI_SETMODEVENTMASK, 0UL);
    }
    ~QuietChange()
    {
        m_view.SendScintilla(QsciScintillaBase::SCI_SETMODEVENTMASK,
                             static_cast<unsigned long>(m_mask));
        emit m_view.textChanged();
        if (m_view.lines() != m_lines)
            emit m_view.linesChanged();
    }
    QuietChange(const QuietChange &) = delete;
    QuietChange &operator=(const QuietChange &) = delete;

private:
    EditorView &m_view;
    long m_mask;
    int m_lines;
};

/// The view's accessible interface: a plain editable-text widget. QScintilla's own one answers
/// every caret move by counting the characters from the document's start to the caret, which
/// in a large document takes longer than anything the user did.
QAccessibleInterface *plainAccessible(const QString &className, QObject *object)
{
    auto *widget = qobject_cast<QWidget *>(object);
    if (widget == nullptr || className != QLatin1String(EditorView::staticMetaObject.className()))
        return nullptr;
    return new QAccessibleWidget(widget, QAccessible::EditableText);
}

} // namespace

EditorView::EditorView(platform::WindowHandle frame, QWidget *parent) : QsciScintilla(parent)
{
    static const bool plainAccessibility = [] {
        QAccessible::installFactory(plainAccessible);
        return true;
    }();
    Q_UNUSED(plainAccessibility);
    // The view shows documents of its own (see replaceDocument); QScintilla's first one stays
    // alive beside them and is shown again before the base class goes, as it expects.
    m_initialDocument = SendScintillaPtrResult(SCI_GETDOCPOINTER);
    SendScintilla(SCI_ADDREFDOCUMENT, 0UL, m_initialDocument);
    loadBytes({});

    setWrapMode(WrapNone);
    // A horizontal scroll bar only when a line shown is wider than the view.
    SendScintilla(SCI_SETSCROLLWIDTH, 1UL);
    SendScintilla(SCI_SETSCROLLWIDTHTRACKING, 1UL);
    const QFont font = QFontDatabase::systemFont(QFontDatabase::FixedFont);
    setFont(font);
    setMarginsFont(font);
    setMarginType(0, NumberMargin);
    setMarginLineNumbers(0, true);
    setMarginWidth(1, 0);
    connect(this, &QsciScintilla::linesChanged, this, &EditorView::fitLineNumberMargin);
    fitLineNumberMargin();

    m_handle = platform::createWindow(
        "PlintharView", frame,
        [this](platform::WindowHandle, platform::MessageId message, platform::WParam wParam,
               platform::LParam lParam) { return answerViewMessage(message, wParam, lParam); },
        this);
}

EditorView::~EditorView()
{
    platform::destroyWindow(m_handle);
    SendScintilla(SCI_SETDOCPOINTER, 0UL, m_initialDocument);
    SendScintilla(SCI_RELEASEDOCUMENT, 0UL, m_initialDocument);
}

void EditorView::setUpdateCommandHandler(std::function<void(std::uint32_t)> handler)
{
    m_updateCommand = std::move(handler);
}

void EditorView::fitLineNumberMargin()
{
    // Room for the largest line number and one digit more, so the margin seldom resizes.
    setMarginWidth(0, QString(QString::number(lines()).size() + 1, QLatin1Char('9')));
}

bool EditorView::replaceDocument(qsizetype size, const std::function<bool(const Append &)> &fill)
{
    const QuietChange quiet(*this);
    // A new document, made for the size it will have and without a style byte for every text
    // byte (no lexer colours this editor): a large document costs its own size once. The one
    // shown before stays until the new one is filled, so a failure leaves it in place.
    void *const previous = SendScintillaPtrResult(SCI_GETDOCPOINTER);
    SendScintilla(SCI_ADDREFDOCUMENT, 0UL, previous);
    const long document = SendScintilla(SCI_CREATEDOCUMENT, static_cast<unsigned long>(size + 2),
                                        long(SC_DOCUMENTOPTION_STYLES_NONE));
    SendScintilla(SCI_SETDOCPOINTER, 0UL, document);
    SendScintilla(SCI_RELEASEDOCUMENT, 0UL, document);
    // The code page and the undo collection belong to the document, so they come after it.
    setUtf8(true);
    SendScintilla(SCI_SETUNDOCOLLECTION, 0UL);
    // With a length, so that NUL bytes stay in the document.
    const bool filled = fill([this](QByteArrayView bytes) {
        SendScintilla(SCI_APPENDTEXT, static_cast<std::uintptr_t>(bytes.size()), bytes.data());
    });
    if (!filled)
        SendScintilla(SCI_SETDOCPOINTER, 0UL, previous); // and the new one goes
    SendScintilla(SCI_RELEASEDOCUMENT, 0UL, previous);
    if (!filled)
        return false;
    SendScintilla(SCI_SETUNDOCOLLECTION, static_cast<unsigned long>(m_collectsUndo));
    const QByteArrayView all = bytes();
    setLineEnding(LineBreaks::detect(std::string_view(all.data(), std::size_t(all.size()))));
    SendScintilla(SCI_GOTOPOS, 0UL);
    emit modificationChanged(false);
    return true;
}

void EditorView::loadBytes(QByteArrayView bytes)
{
    replaceDocument(bytes.size(), [bytes](const Append &append) {
        append(bytes);
        return true;
    });
}

bool EditorView::readFrom(QIODevice &device, QString *error)
{
    return replaceDocument(qsizetype(device.size()), [&device, error](const Append &append) {
        // Read in pieces into the document itself: no buffer of the whole file's size.
        std::vector<char> piece(std::size_t(1) << 20);
        for (;;) {
            const qint64 got = device.read(piece.data(), qint64(piece.size()));
            if (got < 0) {
                *error = device.errorString();
                return false;
            }
            if (got == 0)
                return true;
            append(QByteArrayView(piece.data(), qsizetype(got)));
        }
    });
}

void EditorView::setCollectsUndo(bool collect)
{
    m_collectsUndo = collect;
    SendScintilla(SCI_SETUNDOCOLLECTION, static_cast<unsigned long>(collect));
    if (!collect)
        SendScintilla(SCI_EMPTYUNDOBUFFER);
}

QByteArrayView EditorView::bytes() const
{
    // The range pointer only closes the gap; the character pointer would also want room for a
    // terminator, which for a full buffer means moving the whole document to a larger one.
    const long length = SendScintilla(SCI_GETLENGTH);
    const auto *text = reinterpret_cast<const char *>( // NOLINT(performance-no-int-to-ptr)
        SendScintilla(SCI_GETRANGEPOINTER, 0UL, length));
    return {text, qsizetype(length)};
}

LineEnding EditorView::lineEnding() const
{
    switch (eolMode()) {
    case EolWindows:
        return LineEnding::CrLf;
    case EolMac:
        return LineEnding::Cr;
    case EolUnix:
        break;
    }
    return LineEnding::Lf;
}

void EditorView::setLineEnding(LineEnding style)
{
    setEolMode(style == LineEnding::CrLf ? EolWindows : style == LineEnding::Cr ? EolMac : EolUnix);
}

std::pair<qsizetype, qsizetype> EditorView::selectionRange() const
{
    return {qsizetype(SendScintilla(SCI_GETSELECTIONSTART)),
            qsizetype(SendScintilla(SCI_GETSELECTIONEND))};
}

void EditorView::selectRange(qsizetype start, qsizetype end)
{
    const qsizetype length = SendScintilla(SCI_GETLENGTH);
    SendScintilla(SCI_SETSEL, static_cast<unsigned long>(std::clamp<qsizetype>(start, 0, length)),
                  long(std::clamp<qsizetype>(end, 0, length)));
}

void EditorView::replaceSelection(QByteArrayView text)
{
    const QuietChange quiet(*this);
    beginUndoAction();
    const auto [start, end] = selectionRange();
    if (start != end)
        SendScintilla(SCI_DELETERANGE, static_cast<unsigned long>(start), long(end - start));
    SendScintilla(SCI_SETEMPTYSELECTION, static_cast<unsigned long>(start));
    const LineEnding style = lineEnding();
    const std::string_view bytes(text.data(), std::size_t(text.size()));
    if (!LineBreaks::hasForeignBreak(bytes, style)) {
        // Inserted straight from the caller's text, with no copy of it.
        SendScintilla(SCI_ADDTEXT, static_cast<std::uintptr_t>(text.size()), text.data());
    } else {
        // Room for the whole converted text first: added piece by piece, the document would
        // grow by a sixth at a time, each time into a new buffer with the old one beside it.
        const auto room =
            std::size_t(SendScintilla(SCI_GETLENGTH)) + LineBreaks::sizeIn(bytes, style) + 2;
        SendScintilla(SCI_ALLOCATE, static_cast<unsigned long>(room));
        LineBreaks::convert(bytes, style, std::size_t(1) << 20, [this](std::string_view piece) {
            SendScintilla(SCI_ADDTEXT, static_cast<std::uintptr_t>(piece.size()), piece.data());
        });
    }
    endUndoAction();
    SendScintilla(SCI_SCROLLCARET);
}

std::string_view EditorView::viewSelection()
{
    // Straight from the document, with no copy.
    const auto [start, end] = selectionRange();
    const auto *text = reinterpret_cast<const char *>( // NOLINT(performance-no-int-to-ptr)
        SendScintilla(SCI_GETRANGEPOINTER, static_cast<unsigned long>(start), long(end - start)));
    return {text, std::size_t(end - start)};
}

bool EditorView::viewHasSelection()
{
    const auto [start, end] = selectionRange();
    return start != end;
}

void EditorView::viewSelectAll()
{
    SendScintilla(SCI_SELECTALL);
}

void EditorView::viewDeleteSelection()
{
    const auto [start, end] = selectionRange();
    if (start == end)
        return;
    const QuietChange quiet(*this);
    SendScintilla(SCI_DELETERANGE, static_cast<unsigned long>(start), long(end - start));
    SendScintilla(SCI_SETEMPTYSELECTION, static_cast<unsigned long>(start));
}

void EditorView::viewInsert(std::string_view text)
{
    replaceSelection(QByteArrayView(text.data(), qsizetype(text.size())));
}

void EditorView::viewUpdateCommand(std::uint32_t commandId)
{
    if (m_updateCommand)
        m_updateCommand(commandId);
}
