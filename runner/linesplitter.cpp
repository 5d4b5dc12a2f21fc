#include "linesplitter.h"

void LineSplitter::feed(std::string_view piece, LineList &lines)
{
    const char *p = piece.data();
    const char *const end = p + piece.size();
    if (p == end)
        return;
    // A LF right after a CR that ended the previous piece completes that CR LF.
    if (m_afterCarriageReturn && *p == '\n')
        ++p;
    m_afterCarriageReturn = false;

    while (p < end) {
        const char *q = p;
        while (q < end && *q != '\r' && *q != '\n')
            ++q;
        const std::string_view bytes(p, q - p);
        if (m_lastLineOpen) {
            if (!bytes.empty())
                lines.extendLast(bytes);
        } else {
            lines.append(bytes);
        }
        if (q == end) {
            m_lastLineOpen = true;
            return;
        }
        m_lastLineOpen = false;
        if (*q == '\r') {
            if (q + 1 == end)
                m_afterCarriageReturn = true;
            else if (q[1] == '\n')
                ++q;
        }
        p = q + 1;
    }
}
