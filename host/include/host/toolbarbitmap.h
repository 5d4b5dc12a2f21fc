#pragma once

#include <cstdint>

/// How an editor asks a plug-in for its toolbar bitmap (queries 0x908 and 0x909).
namespace ToolbarBitmap {

/// The looks of a toolbar button.
enum class Look { Normal, Disabled, Highlighted };

/// The bits of queries 0x908 and 0x909 for the bitmap of @p look, 24 pixels when @p large
/// (else 16), on a screen of @p depth bits per pixel: true colour from 24 bits, 256 colours
/// from 8, else 16 colours (which have one look only).
std::uintptr_t queryBits(int depth, bool large, Look look);

/// Whether the mask colour @p colorRef (0x00BBGGRR, query 0x909) makes pixels transparent: 0
/// means the plug-in gives none, and black is part of the picture then.
inline bool hasMask(std::uint32_t colorRef)
{
    return colorRef != 0;
}

} // namespace ToolbarBitmap
