#include "platform/textcoding.h"

#include <windows.h>

namespace platform {

TextCoding systemCoding()
{
    switch (GetACP()) {
    case CP_UTF8:
        return TextCoding::Utf8;
    case 932:
        return TextCoding::ShiftJis;
    default:
        return TextCoding::Other;
    }
}

} // namespace platform
