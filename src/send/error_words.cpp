#include "send/error_words.h"

#include <cerrno>
#include <cstring>

std::string ErrorWords(int errorNumber) {
    switch (errorNumber) {
        case ENOSPC:
        case EDQUOT:
            return "ディスクの空き容量が足りません。";
        case EACCES:
        case EPERM:
        case EROFS:
            return "書き込みが許可されていません。";
        case ENOENT:
            return "ファイルまたはフォルダが見つかりません。";
        case ENAMETOOLONG:
            return "名前が長すぎます。";
        case EEXIST:
        case ENOTEMPTY:
            return "同じ名前のものが既にあります。";
        case EIO:
            return "入出力エラーが発生しました。";
        default:
            return std::strerror(errorNumber);
    }
}
