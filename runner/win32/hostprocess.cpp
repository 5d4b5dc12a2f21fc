#include "hostprocess.h"

#include <windows.h>

#include <shellapi.h>
#include <stdlib.h>

#include <array>
#include <optional>
#include <string>

namespace {

// Settings of the user's own Ruby, which are not for the plug-in's private runtime: RUBYLIB
// would load another version's libraries into it, RUBYOPT another version's options.
constexpr std::array<const wchar_t *, 2> kUserRubySettings = {L"RUBYOPT", L"RUBYLIB"};
std::array<std::optional<std::wstring>, kUserRubySettings.size()> savedSettings;

std::optional<std::wstring> environmentValue(const wchar_t *name)
{
    const DWORD size = GetEnvironmentVariableW(name, nullptr, 0);
    if (size == 0)
        return std::nullopt;
    std::wstring value(size, L'\0');
    const DWORD length = GetEnvironmentVariableW(name, value.data(), size);
    value.resize(length);
    return value;
}

/// Sets (or, for none, removes) @p name in both copies of the environment the runtime may read.
void setEnvironmentValue(const wchar_t *name, const std::optional<std::wstring> &value)
{
    SetEnvironmentVariableW(name, value ? value->c_str() : nullptr);
    _wputenv_s(name, value ? value->c_str() : L"");
}

} // namespace

// Windows delivers no signals the runtime could take over from the host; what it would take
// from the user's environment is kept from it while it starts.
HostProcess::HostProcess()
{
    for (std::size_t i = 0; i < kUserRubySettings.size(); ++i) {
        savedSettings[i] = environmentValue(kUserRubySettings[i]);
        setEnvironmentValue(kUserRubySettings[i], std::nullopt);
    }
}

HostProcess::~HostProcess()
{
    for (std::size_t i = 0; i < kUserRubySettings.size(); ++i)
        setEnvironmentValue(kUserRubySettings[i], savedSettings[i]);
}

std::vector<std::string> HostProcess::readCommandLine()
{
    std::vector<std::string> split;
    int count = 0;
    wchar_t **wide = CommandLineToArgvW(GetCommandLineW(), &count);
    for (int i = 0; wide && i < count; ++i) {
        const int bytes =
            WideCharToMultiByte(CP_UTF8, 0, wide[i], -1, nullptr, 0, nullptr, nullptr);
        std::string arg(static_cast<std::size_t>(bytes > 0 ? bytes : 1), '\0');
        WideCharToMultiByte(CP_UTF8, 0, wide[i], -1, arg.data(), bytes, nullptr, nullptr);
        arg.resize(arg.size() - 1);
        split.push_back(std::move(arg));
    }
    LocalFree(wide);
    return split;
}
