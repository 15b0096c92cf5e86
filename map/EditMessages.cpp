#include "map/EditMessages.h"

#include "map/MapGrid.h"

namespace {

// The insertion messages name the limit as the number users can act on.
std::string limit() {
    return std::to_string(MapGrid::kMaxCanvas);
}

}  // namespace

std::string EditMessages::text(EditMessage message, int count) {
    switch (message) {
        case EditMessage::None:
            return {};
        case EditMessage::RowInsertLimit:
            return "縦のキャンバス限界サイズは" + limit() + "です。それ以上は挿入出来ません";
        case EditMessage::ColumnInsertLimit:
            return "横のキャンバス限界サイズは" + limit() + "です。それ以上は挿入出来ません";
        case EditMessage::ColumnDeleteRefused:
            return "列を削除出来ません。マップ構成には最低1列は必要です。";
        case EditMessage::RowDeleteRefused:
            return "行を削除出来ません。マップ構成には最低1行は必要です。";
        case EditMessage::CanvasWidthRange:
            return "不正な値が指定されました。キャンバスの横サイズは1～" + limit() +
                   "の範囲内に納めて下さい。";
        case EditMessage::CanvasHeightRange:
            return "不正な値が指定されました。キャンバスの縦サイズは1～" + limit() +
                   "の範囲内に納めて下さい。";
        case EditMessage::Replaced:
            return std::to_string(count) + "個置換しました";
    }
    return {};
}

std::string EditMessages::title(EditMessage message) {
    switch (message) {
        case EditMessage::None:
            return {};
        case EditMessage::RowInsertLimit:
            return "行挿入エラー";
        case EditMessage::ColumnInsertLimit:
            return "列挿入エラー";
        case EditMessage::ColumnDeleteRefused:
            return "列削除エラー";
        case EditMessage::RowDeleteRefused:
            return "行削除エラー";
        case EditMessage::CanvasWidthRange:
        case EditMessage::CanvasHeightRange:
            return "キャンバスサイズ変更エラー";
        case EditMessage::Replaced:
            return "置換成功";
    }
    return {};
}
