#include "preview/PlayerRegistrationDialog.h"

#include <algorithm>

#include "gfx/CNxSurface.h"
#include "platform/Host.h"
#include "platform/Texts.h"
#include "platform/VirtualKey.h"
#include "preview/FrameNameDialog.h"
#include "preview/FrameSettingsDialog.h"
#include "preview/PlayerFile.h"

using platform::ControlKind;
using platform::ControlSpec;
using platform::DialogNotification;
using platform::Rect;

namespace {

const char kLimitText[] = PELORIN_TEXT("１つのアクションに登録出来る画像は%dまでです");
const char kLoadFailedText[] = PELORIN_TEXT("画像「%s」の読み込みに失敗しました");
const char kLoadFailedTitle[] = PELORIN_TEXT("画像読み込みエラー");
const char kStartText[] = PELORIN_TEXT("プレビュー開始");
const char kStopText[] = PELORIN_TEXT("プレビュー終了");
const char kChooserTitle[] = PELORIN_TEXT("ファイル選択");

// Controls that need a frame, and those that stay off while the preview plays.
const int kFrameControls[] = {
    PlayerRegistrationDialog::kSettingsId, PlayerRegistrationDialog::kDeleteId,
    PlayerRegistrationDialog::kDeleteAllId, PlayerRegistrationDialog::kDuplicateId};
const int kIdleControls[] = {PlayerRegistrationDialog::kAddId, PlayerRegistrationDialog::kLoadId,
                             platform::Dialog::kOkId, platform::Dialog::kCancelId};

platform::FileRequest jsonFiles(const std::string& initial) {
    return {kChooserTitle, {{PELORIN_TEXT("JSON Files (*.json)"), "*.json"}}, initial, {}};
}

ControlSpec button(int id, const char* text, Rect rect) {
    return ControlSpec::make(ControlKind::Button, id, text, rect);
}

// Keeps an inclusive rectangle inside an image of width × height.
}  // namespace

PlayerRegistrationDialog::PlayerRegistrationDialog(platform::Host& host,
                                                   PlayerDefinition& definition,
                                                   PreviewScreen& preview)
    : m_host(host), m_definition(definition), m_preview(preview) {}

platform::DialogResult PlayerRegistrationDialog::run(platform::NativeWindow* owner) {
    return m_host.runDialog(owner, *this);
}

platform::DialogTemplate PlayerRegistrationDialog::dialogTemplate() const {
    platform::DialogTemplate t;
    t.title = PELORIN_TEXT("プレイヤー登録");
    t.size = platform::Size{564, 436};
    ControlSpec list =
        ControlSpec::make(ControlKind::ListBox, kFrameListId, {}, Rect{12, 48, 404, 382});
    list.draggable = true;
    ControlSpec ok = button(kOkId, "OK", Rect{276, 396, 364, 424});
    ok.isDefault = true;
    t.controls = {
        ControlSpec::make(ControlKind::Label, 0, PELORIN_TEXT("アクション"), Rect{12, 16, 90, 36}),
        ControlSpec::make(ControlKind::ComboBox, kActionId, {}, Rect{94, 12, 260, 38}),
        list,
        button(kAddId, PELORIN_TEXT("画像の追加..."), Rect{416, 48, 552, 76}),
        button(kDuplicateId, PELORIN_TEXT("複製"), Rect{416, 82, 552, 110}),
        button(kRenameId, PELORIN_TEXT("名前の変更..."), Rect{416, 116, 552, 144}),
        button(kSettingsId, PELORIN_TEXT("設定..."), Rect{416, 150, 552, 178}),
        button(kDeleteId, PELORIN_TEXT("削除"), Rect{416, 184, 552, 212}),
        button(kDeleteAllId, PELORIN_TEXT("全て削除"), Rect{416, 218, 552, 246}),
        button(kPreviewId, kStartText, Rect{416, 264, 552, 292}),
        button(kSaveId, PELORIN_TEXT("ファイルに保存..."), Rect{416, 320, 552, 348}),
        button(kLoadId, PELORIN_TEXT("ファイルから読込..."), Rect{416, 354, 552, 382}),
        ok,
        button(kCancelId, PELORIN_TEXT("キャンセル"), Rect{370, 396, 458, 424}),
        button(kApplyId, PELORIN_TEXT("適用"), Rect{464, 396, 552, 424}),
    };
    return t;
}

void PlayerRegistrationDialog::onInit(platform::DialogControls& controls) {
    m_controls = &controls;
    m_actionIndex = 0;
    m_changed = false;
    controls.clearItems(kActionId);
    m_workingCache.clear();
    for (int a = 0; a < PlayerDefinition::kActionCount; ++a) {
        controls.addItem(kActionId, PlayerDefinition::GetActionName(a));
        m_workingFrames[a].clear();
        m_definition.AppendFramesTo(a, m_workingFrames[a]);
        // Every image in use belongs to a frame, so the frames are where the cache starts from.
        for (const PlayerFrame& frame : m_workingFrames[a]) {
            m_workingCache[frame.path] = frame.image;
        }
    }
    controls.select(kActionId, 0);
    controls.setText(kPreviewId, kStartText);
    fillList(controls);
    updateControls(controls);
    m_preview.SetOwnerDialog(this);
}

void PlayerRegistrationDialog::onCommand(platform::DialogControls& controls,
                                         const platform::DialogCommand& command) {
    switch (command.code) {
        case DialogNotification::SelectionChanged:
            if (command.control == kActionId) {
                const int action = controls.selection(kActionId);
                if (action >= 0 && action < PlayerDefinition::kActionCount &&
                    action != m_actionIndex) {
                    m_actionIndex = action;
                    fillList(controls);
                    updateControls(controls);
                }
            }
            return;
        case DialogNotification::KeyUp:
            if (command.control != kFrameListId || m_preview.IsPlaying()) {
                return;
            }
            if (command.key == platform::VK_RETURN) {
                editSettings(controls);
            } else if (command.key == platform::VK_DELETE) {
                deleteSelected(controls);
            } else if (command.key == platform::VK_F2) {
                rename(controls);
            }
            return;
        case DialogNotification::DoubleClicked:
            if (command.control == kFrameListId && !m_preview.IsPlaying()) {
                editSettings(controls);
            }
            return;
        case DialogNotification::ItemDragged:
            if (command.control == kFrameListId) {
                move(controls, command.from, command.to);
            }
            return;
        case DialogNotification::Clicked:
            onButton(controls, command.control);
            return;
        default:
            return;
    }
}

void PlayerRegistrationDialog::onButton(platform::DialogControls& controls, int id) {
    // Enter and Escape arrive as clicks on OK and Cancel whatever their state; Cancel always
    // closes, the others only act while enabled.
    if (id != kCancelId && !controls.isEnabled(id)) {
        return;
    }
    switch (id) {
        case kAddId:
            addImages(controls);
            break;
        case kDuplicateId:
            duplicate(controls);
            break;
        case kRenameId:
            rename(controls);
            break;
        case kSettingsId:
            editSettings(controls);
            break;
        case kDeleteId:
            deleteSelected(controls);
            break;
        case kDeleteAllId:
            deleteAll(controls);
            break;
        case kPreviewId:
            togglePreview(controls);
            break;
        case kSaveId:
            saveFile(controls);
            break;
        case kLoadId:
            loadFile(controls);
            break;
        case kApplyId:
            commit();
            m_changed = false;
            updateControls(controls);
            break;
        case kOkId:
            commit();
            close(controls, platform::DialogResult::Ok);
            break;
        case kCancelId:
            close(controls, platform::DialogResult::Cancel);
            break;
        default:
            break;
    }
}

void PlayerRegistrationDialog::previewEnded() {
    if (m_controls != nullptr) {
        m_controls->setText(kPreviewId, kStartText);
        updateControls(*m_controls);
    }
}

void PlayerRegistrationDialog::fillList(platform::DialogControls& controls) {
    controls.clearItems(kFrameListId);
    for (const PlayerFrame& frame : frames()) {
        controls.addItem(kFrameListId, frame.displayName);
    }
}

void PlayerRegistrationDialog::updateControls(platform::DialogControls& controls) {
    const bool hasFrames = !frames().empty();
    const bool playing = m_preview.IsPlaying();
    for (int id : kFrameControls) {
        controls.setEnabled(id, hasFrames && !playing);
    }
    for (int id : kIdleControls) {
        controls.setEnabled(id, !playing);
    }
    // The preview button stays usable while playing, whichever action is shown.
    controls.setEnabled(kPreviewId, hasFrames || playing);
    controls.setEnabled(kApplyId, m_changed);
}

void PlayerRegistrationDialog::changed(platform::DialogControls& controls) {
    m_changed = true;
    updateControls(controls);
}

void PlayerRegistrationDialog::showLimit(platform::DialogControls& controls, const char* title) {
    m_host.showError(&controls.window(),
                     m_host.formatText(kLimitText, PlayerDefinition::kMaxFrames), title);
}

bool PlayerRegistrationDialog::loadFrame(platform::DialogControls& controls,
                                         const std::string& path, PlayerFrame& frame) {
    std::vector<platform::Notice> notices;
    const bool loaded = PlayerDefinition::LoadFrame(path, frame, m_workingCache, &notices);
    platform::show(m_host, &controls.window(), notices);
    if (!loaded) {
        m_host.showError(&controls.window(), m_host.formatText(kLoadFailedText, path.c_str()),
                         kLoadFailedTitle);
    }
    return loaded;
}

void PlayerRegistrationDialog::addImages(platform::DialogControls& controls) {
    if (frames().size() >= PlayerDefinition::kMaxFrames) {
        showLimit(controls, PELORIN_TEXT("エラー"));
        return;
    }
    const platform::FileRequest request{
        kChooserTitle,
        {{PELORIN_TEXT("IMG Files (*.bmp,*.jpg,*.png)"), "*.bmp;*.jpg;*.png"}},
        m_lastImagePath,
        {}};
    const std::vector<std::string> paths = m_host.openFiles(&controls.window(), request);
    bool added = false;
    for (const std::string& path : paths) {
        if (frames().size() >= PlayerDefinition::kMaxFrames) {
            showLimit(controls, PELORIN_TEXT("プレイヤー登録エラー"));
            break;
        }
        m_lastImagePath = path;
        PlayerFrame frame;
        if (!loadFrame(controls, path, frame)) {
            continue;
        }
        controls.addItem(kFrameListId, frame.displayName);
        frames().push_back(std::move(frame));
        added = true;
    }
    if (added) {
        changed(controls);
    }
}

void PlayerRegistrationDialog::duplicate(platform::DialogControls& controls) {
    const int selected = selectedFrame(controls);
    if (selected < 0) {
        return;
    }
    if (frames().size() >= PlayerDefinition::kMaxFrames) {
        showLimit(controls, PELORIN_TEXT("エラー"));
        return;
    }
    const std::string path = frames()[selected].path;
    PlayerFrame frame;
    if (!loadFrame(controls, path, frame)) {
        return;
    }
    controls.addItem(kFrameListId, frame.displayName);
    frames().push_back(std::move(frame));
    changed(controls);
}

int PlayerRegistrationDialog::selectedFrame(platform::DialogControls& controls) {
    const int selected = controls.selection(kFrameListId);
    return selected >= 0 && selected < static_cast<int>(frames().size()) ? selected : -1;
}

void PlayerRegistrationDialog::rename(platform::DialogControls& controls) {
    const int selected = selectedFrame(controls);
    if (selected < 0) {
        return;
    }
    PlayerFrame& frame = frames()[selected];
    FrameNameDialog dialog(frame);
    if (m_host.runDialog(&controls.window(), dialog) != platform::DialogResult::Ok) {
        return;
    }
    controls.deleteItem(kFrameListId, selected);
    controls.insertItem(kFrameListId, selected, {frame.displayName});
    controls.select(kFrameListId, selected);
    changed(controls);
}

void PlayerRegistrationDialog::editSettings(platform::DialogControls& controls) {
    const int selected = selectedFrame(controls);
    if (selected < 0) {
        return;
    }
    PlayerFrame& frame = frames()[selected];
    const PlayerFrame before = frame;
    FrameSettingsDialog dialog(frame, m_preview);
    m_host.runDialog(&controls.window(), dialog);
    if (!frame.sameSettings(before)) {
        changed(controls);
    }
}

void PlayerRegistrationDialog::deleteSelected(platform::DialogControls& controls) {
    const int selected = selectedFrame(controls);
    if (selected < 0) {
        return;
    }
    frames().erase(frames().begin() + selected);
    PlayerDefinition::ForgetUnusedImages(m_workingCache);
    controls.deleteItem(kFrameListId, selected);
    // The same line stays selected, or the new last one, so that deleting can go on.
    const int remaining = static_cast<int>(frames().size());
    controls.select(kFrameListId, remaining > 0 ? std::min(selected, remaining - 1) : -1);
    changed(controls);
}

void PlayerRegistrationDialog::deleteAll(platform::DialogControls& controls) {
    if (m_host.messageBox(&controls.window(), PELORIN_TEXT("全ての項目を削除しますか？"),
                          PELORIN_TEXT("確認"), platform::MessageButtons::OkCancel,
                          platform::MessageIcon::Question) != platform::MessageAnswer::Ok) {
        return;
    }
    frames().clear();
    PlayerDefinition::ForgetUnusedImages(m_workingCache);
    controls.clearItems(kFrameListId);
    changed(controls);
}

void PlayerRegistrationDialog::move(platform::DialogControls& controls, int from, int to) {
    const int count = static_cast<int>(frames().size());
    if (from < 0 || from >= count || to < 0 || to >= count || from == to) {
        return;
    }
    // Taken out first, then put in: dropping the first of three onto the third gives 2, 3, 1.
    PlayerFrame frame = std::move(frames()[from]);
    frames().erase(frames().begin() + from);
    frames().insert(frames().begin() + to, std::move(frame));
    const std::string text = controls.itemText(kFrameListId, from);
    controls.deleteItem(kFrameListId, from);
    controls.insertItem(kFrameListId, to, {text});
    controls.select(kFrameListId, to);
    changed(controls);
}

void PlayerRegistrationDialog::togglePreview(platform::DialogControls& controls) {
    if (!m_preview.IsPlaying()) {
        m_preview.StartPlayback(frames());
        controls.setText(kPreviewId, kStopText);
    } else {
        m_preview.StopPlayback();
        controls.setText(kPreviewId, kStartText);
    }
    updateControls(controls);
}

void PlayerRegistrationDialog::saveFile(platform::DialogControls& controls) {
    const std::string path = m_host.saveFile(&controls.window(), jsonFiles(m_filePath));
    if (path.empty()) {
        return;
    }
    const platform::Outcome<bool> saved = PlayerFile::save(path, m_workingFrames, m_host);
    if (!saved.value) {
        m_host.showError(
            &controls.window(),
            m_host.formatText(PELORIN_TEXT("プレイヤー定義「%s」を保存できませんでした\n%s"),
                              path.c_str(), saved.why().c_str()),
            PELORIN_TEXT("保存エラー"));
        return;
    }
    m_filePath = path;
    m_definition.markSaved(m_workingFrames);
}

void PlayerRegistrationDialog::loadFile(platform::DialogControls& controls) {
    const std::string path = m_host.openFile(&controls.window(), jsonFiles(m_filePath));
    if (path.empty()) {
        return;
    }
    PlayerFile::Opened opened;
    const platform::Outcome<bool> read = PlayerFile::open(path, m_workingCache, opened, m_host);
    if (!read.value) {
        m_host.showError(
            &controls.window(),
            m_host.formatText(PELORIN_TEXT("プレイヤー定義「%s」を読み込めませんでした\n%s"),
                              path.c_str(), read.why().c_str()),
            PELORIN_TEXT("読み込みエラー"));
        return;
    }
    platform::show(m_host, &controls.window(), opened.notices);
    m_filePath = path;
    m_definition.markSaved(opened.stored);
    // Frames whose image cannot be read are left out and named; the others keep their settings.
    m_workingFrames = std::move(opened.frames);
    PlayerDefinition::ForgetUnusedImages(m_workingCache);
    fillList(controls);
    changed(controls);
    if (!opened.unreadable.empty()) {
        m_host.showError(&controls.window(),
                         m_host.formatText(PELORIN_TEXT("次の画像を読み込めませんでした:%s"),
                                           PlayerFile::asLines(opened.unreadable).c_str()),
                         kLoadFailedTitle);
    }
}

void PlayerRegistrationDialog::commit() {
    m_definition.replaceFrames(m_workingFrames);
}

void PlayerRegistrationDialog::close(platform::DialogControls& controls,
                                     platform::DialogResult result) {
    if (m_preview.IsPlaying()) {
        m_preview.StopPlayback();
    }
    m_preview.SetOwnerDialog(nullptr);
    // What only the working copy used goes now.
    for (PlayerDefinition::FrameList& list : m_workingFrames) {
        list.clear();
    }
    m_workingCache.clear();
    m_controls = nullptr;
    controls.end(result);
}
