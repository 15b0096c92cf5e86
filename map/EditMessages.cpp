#include "map/EditMessages.h"

#include "map/MapGrid.h"
#include "platform/MessagePort.h"
#include "platform/Texts.h"

std::string EditMessages::text(EditMessage message, const platform::Language& language, int count) {
    // The insertion messages name the limit as the number users can act on.
    const int limit = MapGrid::kMaxCanvas;
    switch (message) {
        case EditMessage::None:
            return {};
        case EditMessage::RowInsertLimit:
            return language.formatText(
                PELORIN_TEXT("縦のキャンバス限界サイズは%dです。それ以上は挿入出来ません"), limit);
        case EditMessage::ColumnInsertLimit:
            return language.formatText(
                PELORIN_TEXT("横のキャンバス限界サイズは%dです。それ以上は挿入出来ません"), limit);
        case EditMessage::ColumnDeleteRefused:
            return language.text(
                PELORIN_TEXT("列を削除出来ません。マップ構成には最低1列は必要です。"));
        case EditMessage::RowDeleteRefused:
            return language.text(
                PELORIN_TEXT("行を削除出来ません。マップ構成には最低1行は必要です。"));
        case EditMessage::CanvasWidthRange:
            return language.formatText(
                PELORIN_TEXT("不正な値が指定されました。キャンバスの横サイズは"
                             "1～%dの範囲内に納めて下さい。"),
                limit);
        case EditMessage::CanvasHeightRange:
            return language.formatText(
                PELORIN_TEXT("不正な値が指定されました。キャンバスの縦サイズは"
                             "1～%dの範囲内に納めて下さい。"),
                limit);
        case EditMessage::Replaced:
            return language.formatText(PELORIN_TEXT("%d個置換しました"), count);
    }
    return {};
}

std::string EditMessages::title(EditMessage message) {
    switch (message) {
        case EditMessage::None:
            return {};
        case EditMessage::RowInsertLimit:
            return PELORIN_TEXT("行挿入エラー");
        case EditMessage::ColumnInsertLimit:
            return PELORIN_TEXT("列挿入エラー");
        case EditMessage::ColumnDeleteRefused:
            return PELORIN_TEXT("列削除エラー");
        case EditMessage::RowDeleteRefused:
            return PELORIN_TEXT("行削除エラー");
        case EditMessage::CanvasWidthRange:
        case EditMessage::CanvasHeightRange:
            return PELORIN_TEXT("キャンバスサイズ変更エラー");
        case EditMessage::Replaced:
            return PELORIN_TEXT("置換成功");
    }
    return {};
}
