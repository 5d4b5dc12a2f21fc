#include "window/toolkittexts.h"

#include "platform/textcoding.h"

namespace ToolkitTexts {

std::string alreadyVisible()
{
    return platform::systemText("表示されているウィンドウをモーダルにすることはできません");
}

std::string memoLimitExceeded()
{
    return platform::systemText("文字列の大きさが メモ の制限を越えました");
}

std::string cannotOpenFile(const std::string &path)
{
    return platform::systemText("ファイル ") + path + platform::systemText(" は開けません");
}

} // namespace ToolkitTexts
