#include "editorview.h"

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

/// @p c's first position in [@p from, @p end), or @p end.
const char *find(const char *from, const char *end, char c)
{
    const void *found = std::memchr(from, c, std::size_t(end - from));
    return found != nullptr ? static_cast<const char *>(found) : end;
}

/// Calls @p visit(at, length) for each line break of @p text in order, with its offset and
/// its length: 2 for CR LF, 1 for a lone CR or LF; stops early when @p visit answers false.
/// Searches for both bytes with memchr, which a large text makes worth it.
template <typename Visit> void forEachBreak(QByteArrayView text, Visit visit)
{
    const char *const begin = text.data();
    const char *const end = begin + text.size();
    const char *cr = find(begin, end, '\r');
    const char *lf = find(begin, end, '\n');
    while (cr != end || lf != end) {
        if (cr < lf) {
            const bool crLf = cr + 1 == lf;
            if (!visit(cr - begin, crLf ? 2 : 1))
                return;
            if (crLf)
                lf = find(lf + 1, end, '\n');
            cr = find(cr + 1, end, '\r');
        } else {
            if (!visit(lf - begin, 1))
                return;
            lf = find(lf + 1, end, '\n');
        }
    }
}

/// The size of @p text once each lone LF and lone CR in it is written as CR LF.
qsizetype crLfSize(QByteArrayView text)
{
    qsizetype size = text.size();
    forEachBreak(text, [&size](qsizetype, qsizetype length) {
        size += 2 - length;
        return true;
    });
    return size;
}

/// Copies the first @p room bytes of @p text, with each lone LF and lone CR written as CR LF,
/// to @p out.
void copyAsCrLf(QByteArrayView text, char *out, qsizetype room)
{
    qsizetype from = 0;
    qsizetype written = 0;
    const auto put = [&](const char *bytes, qsizetype count) {
        count = std::min(count, room - written);
        std::memcpy(out + written, bytes, std::size_t(count));
        written += count;
        return written < room;
    };
    forEachBreak(text, [&](qsizetype at, qsizetype length) {
        const bool more = put(text.data() + from, at - from) && put("\r\n", 2);
        from = at + length;
        return more;
    });
    if (written < room)
        put(text.data() + from, text.size() - from);
}

QByteArrayView breakBytes(LineEnding style)
{
    switch (style) {
    case LineEnding::CrLf:
        return "\r\n";
    case LineEnding::Cr:
        return "\r";
    case LineEnding::Lf:
        break;
    }
    return "\n";
}

/// Whether @p text has a line break that is not written as @p style writes one.
bool hasForeignBreak(QByteArrayView text, LineEnding style)
{
    const QByteArrayView own = breakBytes(style);
    bool foreign = false;
    forEachBreak(text, [&](qsizetype at, qsizetype length) {
        foreign = text.sliced(at, length) != own;
        return !foreign;
    });
    return foreign;
}

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
               platform::LParam lParam) { return handleMessage(message, wParam, lParam); },
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
    setLineEnding(DocumentFile::detectLineEnding(bytes()));
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
    if (!hasForeignBreak(text, style)) {
        // Inserted straight from the caller's text, with no copy of it.
        SendScintilla(SCI_ADDTEXT, static_cast<std::uintptr_t>(text.size()), text.data());
    } else {
        // Converted in pieces of a bounded size, so a large text never needs a second copy
        // of its own size. Each piece ends on a whole break.
        constexpr qsizetype kPiece = qsizetype(1) << 20;
        const QByteArrayView lineBreak = breakBytes(style);
        std::string piece;
        piece.reserve(std::size_t(std::min(text.size() * 2, kPiece) + 2));
        const auto flush = [&] {
            SendScintilla(SCI_ADDTEXT, static_cast<std::uintptr_t>(piece.size()), piece.data());
            piece.clear();
        };
        const auto put = [&](const char *bytes, qsizetype count) {
            while (count > 0) {
                if (qsizetype(piece.size()) >= kPiece)
                    flush();
                const qsizetype take = std::min(count, kPiece - qsizetype(piece.size()));
                piece.append(bytes, std::size_t(take));
                bytes += take;
                count -= take;
            }
        };
        qsizetype from = 0;
        forEachBreak(text, [&](qsizetype at, qsizetype length) {
            put(text.data() + from, at - from);
            // Whole breaks only: a CR LF never falls between two pieces.
            piece.append(lineBreak.data(), std::size_t(lineBreak.size()));
            from = at + length;
            return true;
        });
        put(text.data() + from, text.size() - from);
        if (!piece.empty())
            flush();
    }
    endUndoAction();
    SendScintilla(SCI_SCROLLCARET);
}

platform::LResult EditorView::handleMessage(platform::MessageId message, platform::WParam wParam,
                                            platform::LParam lParam)
{
    switch (message) {
    case MSG_UPDATE_COMMAND:
        if (m_updateCommand)
            m_updateCommand(std::uint32_t(wParam));
        return 0;
    case MSG_GET_SEL_TEXT: {
        // Both queries read the selection as it is then, straight from the document.
        const auto [start, end] = selectionRange();
        const auto *text = reinterpret_cast<const char *>( // NOLINT(performance-no-int-to-ptr)
            SendScintilla(SCI_GETRANGEPOINTER, static_cast<unsigned long>(start),
                          long(end - start)));
        const QByteArrayView selected(text, end - start);
        const qsizetype length = crLfSize(selected);
        if (lParam != 0 && wParam != 0) {
            // The message carries the buffer's address as its integer argument.
            auto *buffer = reinterpret_cast<char *>(lParam); // NOLINT(performance-no-int-to-ptr)
            const std::size_t count = std::min<std::size_t>(std::size_t(length), wParam);
            if (length == selected.size())
                std::memcpy(buffer, selected.data(), count);
            else
                copyAsCrLf(selected, buffer, qsizetype(count));
            if (count < wParam)
                buffer[count] = '\0';
        }
        return platform::LResult(length);
    }
    case MSG_EXEC_COMMAND:
        if (wParam == CMD_SELECT_ALL) {
            SendScintilla(SCI_SELECTALL);
        } else if (wParam == CMD_DELETE) {
            const auto [start, end] = selectionRange();
            if (start != end) {
                const QuietChange quiet(*this);
                SendScintilla(SCI_DELETERANGE, static_cast<unsigned long>(start),
                              long(end - start));
                SendScintilla(SCI_SETEMPTYSELECTION, static_cast<unsigned long>(start));
            }
        }
        return 0;
    case MSG_INSERT_STRING:
        if (lParam != 0) {
            const auto *text =
                reinterpret_cast<const char *>(lParam); // NOLINT(performance-no-int-to-ptr)
            replaceSelection(QByteArrayView(text, qsizetype(std::strlen(text))));
        }
        return 0;
    case MSG_GET_SEL_TYPE: {
        const auto [start, end] = selectionRange();
        return start != end ? 1 : 0;
    }
    default:
        return 0;
    }
}
