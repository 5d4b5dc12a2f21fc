#include "editorview.h"

#include "plugin/plintharplugin.h"

#include <QTextBlock>
#include <QTextCursor>
#include <algorithm>
#include <cstring>
#include <utility>

EditorView::EditorView(platform::WindowHandle frame, QWidget *parent) : QPlainTextEdit(parent)
{
    setLineWrapMode(QPlainTextEdit::NoWrap);
    m_handle = platform::createWindow(
        "PlintharView", frame,
        [this](platform::WindowHandle, platform::MessageId message, platform::WParam wParam,
               platform::LParam lParam) { return handleMessage(message, wParam, lParam); },
        this);
    const auto forget = [this] {
        m_pendingSelection.clear();
        m_pendingSelectionValid = false;
    };
    connect(this, &QPlainTextEdit::selectionChanged, this, forget);
    connect(this, &QPlainTextEdit::cursorPositionChanged, this, forget);
    connect(this, &QPlainTextEdit::textChanged, this, forget);
}

EditorView::~EditorView()
{
    platform::destroyWindow(m_handle);
}

void EditorView::setUpdateCommandHandler(std::function<void(std::uint32_t)> handler)
{
    m_updateCommand = std::move(handler);
}

QByteArray EditorView::selectedBytes() const
{
    // Qt marks paragraph and line breaks inside a selection with Unicode separators; they are
    // turned into CR LF in one pass (QString::replace with a longer text moves the rest of a
    // large text again and again).
    const QString text = textCursor().selectedText();
    QString out;
    out.reserve(text.size() + text.size() / 16);
    qsizetype start = 0;
    for (qsizetype i = 0; i < text.size(); ++i) {
        const QChar c = text[i];
        if (c == QChar::ParagraphSeparator || c == QChar::LineSeparator) {
            out.append(QStringView(text).mid(start, i - start));
            out.append(QStringLiteral("\r\n"));
            start = i + 1;
        }
    }
    out.append(QStringView(text).mid(start));
    return out.toLocal8Bit();
}

void EditorView::selectRange(int start, int end)
{
    const int last = std::max(0, document()->characterCount() - 1);
    QTextCursor cursor(document());
    cursor.setPosition(std::clamp(start, 0, last));
    cursor.setPosition(std::clamp(end, 0, last), QTextCursor::KeepAnchor);
    setTextCursor(cursor);
}

QString EditorView::insertedText(const char *bytes)
{
    // CR LF and lone CR become LF on the bytes, in one pass: neither byte can be part of a
    // character in the locale codings we run under (UTF-8, Shift-JIS).
    const std::size_t length = std::strlen(bytes);
    QByteArray text(qsizetype(length), Qt::Uninitialized);
    char *dst = text.data();
    for (std::size_t i = 0; i < length; ++i) {
        if (bytes[i] == '\r') {
            *dst++ = '\n';
            if (i + 1 < length && bytes[i + 1] == '\n')
                ++i;
        } else {
            *dst++ = bytes[i];
        }
    }
    text.truncate(dst - text.data());
    return QString::fromLocal8Bit(text);
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
        // A large selection costs a conversion of the whole text: the length query keeps it
        // for the copy query, which takes it and frees it.
        const QByteArray bytes =
            m_pendingSelectionValid ? std::exchange(m_pendingSelection, {}) : selectedBytes();
        m_pendingSelectionValid = false;
        if (lParam == 0 || wParam == 0) {
            m_pendingSelection = bytes;
            m_pendingSelectionValid = true;
        } else {
            auto *buffer = reinterpret_cast<char *>(lParam);
            const auto count = std::min<std::size_t>(std::size_t(bytes.size()), wParam);
            std::memcpy(buffer, bytes.constData(), count);
            if (count < wParam)
                buffer[count] = '\0';
        }
        return platform::LResult(bytes.size());
    }
    case MSG_EXEC_COMMAND:
        if (wParam == CMD_SELECT_ALL) {
            selectAll();
        } else if (wParam == CMD_DELETE) {
            QTextCursor cursor = textCursor();
            if (cursor.hasSelection()) {
                cursor.removeSelectedText();
                setTextCursor(cursor);
            }
        }
        return 0;
    case MSG_INSERT_STRING:
        if (lParam != 0) {
            QTextCursor cursor = textCursor();
            cursor.insertText(insertedText(reinterpret_cast<const char *>(lParam)));
            setTextCursor(cursor);
        }
        return 0;
    case MSG_GET_SEL_TYPE:
        return textCursor().hasSelection() ? 1 : 0;
    default:
        return 0;
    }
}
