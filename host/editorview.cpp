#include "editorview.h"

#include "platform/qt/windowregistry.h"
#include "plinthar/plintharplugin.h"

#include <QStringEncoder>
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
    // Qt marks paragraph and line breaks inside a selection with Unicode separators. The text
    // between them is encoded straight into the answer and each separator becomes CR LF, in
    // one pass with no second copy of a large text.
    const QString text = textCursor().selectedText();
    QStringEncoder encoder(QStringConverter::System);
    // A break takes two bytes, which may be more than the encoder reserves for one character.
    QByteArray out(encoder.requiredSpace(text.size()) + text.size(), Qt::Uninitialized);
    char *dst = out.data();
    const QChar *const chars = text.constData();
    qsizetype start = 0;
    for (qsizetype i = 0; i < text.size(); ++i) {
        if (chars[i] == QChar::ParagraphSeparator || chars[i] == QChar::LineSeparator) {
            dst = encoder.appendToBuffer(dst, QStringView(chars + start, i - start));
            *dst++ = '\r';
            *dst++ = '\n';
            start = i + 1;
        }
    }
    dst = encoder.appendToBuffer(dst, QStringView(chars + start, text.size() - start));
    out.truncate(dst - out.constData());
    return out;
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
    // Decoded first, then CR LF and lone CR become LF in place, in one pass: a large text
    // then costs one converted copy, not two.
    QString text = QString::fromLocal8Bit(bytes);
    QChar *const begin = text.data();
    const QChar *const end = begin + text.size();
    QChar *dst = begin;
    for (const QChar *p = begin; p < end; ++p) {
        if (*p == u'\r') {
            *dst++ = u'\n';
            if (p + 1 < end && p[1] == u'\n')
                ++p;
        } else {
            *dst++ = *p;
        }
    }
    text.truncate(dst - begin);
    return text;
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
            // The message carries the buffer's address as its integer argument.
            auto *buffer = reinterpret_cast<char *>(lParam); // NOLINT(performance-no-int-to-ptr)
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
            const auto *bytes =
                reinterpret_cast<const char *>(lParam); // NOLINT(performance-no-int-to-ptr)
            cursor.insertText(insertedText(bytes));
            setTextCursor(cursor);
        }
        return 0;
    case MSG_GET_SEL_TYPE:
        return textCursor().hasSelection() ? 1 : 0;
    default:
        return 0;
    }
}
