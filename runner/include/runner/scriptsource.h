#pragma once

/// How a script's text is compiled, as the `ruby` command would compile it.
enum class ScriptSource {
    /// Typed in, as `ruby -e TEXT` compiles it: in the locale's coding (on Windows the ANSI
    /// code page).
    Typed,
    /// The text of a script file, as `ruby FILE` compiles it: UTF-8 unless a magic comment or
    /// a byte-order mark says otherwise, whatever the system's coding.
    File,
};
