#pragma once

#include "runner/linelist.h"

#include <string_view>

/**
 * Splits a text that arrives in pieces into a line list, piece by piece, with the rules of
 * LineList::setText().
 *
 * After every feed() the list equals LineList::setText() of all the pieces fed so far joined
 * together (none may hold a NUL byte), at a cost proportional to the new piece only.
 */
class LineSplitter
{
public:
    /// Forgets the text fed so far; the next feed() starts a new text. Does not touch any list.
    void reset()
    {
        m_lastLineOpen = false;
        m_afterCarriageReturn = false;
    }
    /// Appends @p piece to the text, updating @p lines, which must hold the split of the text
    /// fed since the last reset() (an empty list right after it).
    void feed(std::string_view piece, LineList &lines);

private:
    bool m_lastLineOpen = false;        // the text ends inside its last line
    bool m_afterCarriageReturn = false; // the text ends with a CR that a LF may still join
};
