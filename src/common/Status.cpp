#include "common/Status.h"

#include <cerrno>

namespace kitebar {

// The one table of advice: every message that a cause ends gets its last
// sentence here.
std::string_view AdviceFor(Cause cause) {
  switch (cause) {
    case Cause::kPermission:
      return "フォルダーとファイルの権限を確かめてから、もう一度実行してください。";
    case Cause::kReadOnly:
      return "ファイルの読み取り専用を解除してから、もう一度実行してください。";
    case Cause::kNoSpace:
      return "ディスクの空きを増やしてから、もう一度実行してください。";
    case Cause::kSizeLimit:
      return "ファイルから要らない行を削除するか、ファイルを別の場所へ移してから（Kitebar は新しい"
             "ファイルで始めます）、もう一度実行してください。";
    case Cause::kAnotherWriter:
      return "しばらく待ってから、もう一度実行してください。";
    case Cause::kInUse:
      return "そのプログラムを閉じてから、もう一度実行してください。";
    case Cause::kLink:
      return "シンボリックリンクとそのリンク先を確かめてから、もう一度実行してください。";
    case Cause::kMissing:
      return "ファイルやフォルダーの名前と場所を確かめてから、もう一度実行してください。";
    case Cause::kNetwork:
      return "ネットワークの接続と base.ini の [TvalUrl] BaseURL を確かめてから、もう一度実行して"
             "ください。";
    case Cause::kServer:
      return "base.ini の [TvalUrl] BaseURL が結果サイトを指しているか確かめてから、もう一度実行"
             "してください。";
    case Cause::kNone:
    case Cause::kForm:
      break;
  }
  return {};
}

Cause CauseOfSystemError(int error) {
  switch (error) {
    case EACCES:
    case EPERM:
    case EROFS:
      return Cause::kPermission;
    case ENOSPC:
#ifdef EDQUOT
    case EDQUOT:
#endif
    case EFBIG:
      return Cause::kNoSpace;
    case ENOENT:
      return Cause::kMissing;
    case ELOOP:
      return Cause::kLink;
    case EISDIR:
    case ENOTDIR:
    case EEXIST:
    case ENOTEMPTY:
      return Cause::kForm;
    default:
      return Cause::kNone;
  }
}

std::string EndSentence(std::string_view text) {
  std::string sentence(text);
  if (!sentence.empty() && !sentence.ends_with("。"))
    sentence += "。";
  return sentence;
}

std::string Status::message() const {
  const std::string_view advice = AdviceFor(cause_);
  if (advice.empty())
    return what();
  return EndSentence(what()) + std::string(advice);
}

Status Status::Wrapped(std::string_view before, std::string_view after) const {
  std::string text(before);
  if (before.ends_with("（")) {
    // Inside brackets the failure's own full stop goes: "（…）。"
    std::string_view inner = what();
    if (inner.ends_with("。"))
      inner.remove_suffix(std::string_view("。").size());
    text += inner;
  } else {
    text += after.empty() ? what() : EndSentence(what());
  }
  text += after;
  return Status(std::move(text), cause_);
}

}  // namespace kitebar
