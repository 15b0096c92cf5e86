// Files opened by path: from the menu's choosers, the command line, drops, another start of
// the editor and the recent maps; and the recent maps themselves.
#include <algorithm>
#include <filesystem>
#include <set>

#include "app/core/Application.h"
#include "app/core/FileKind.h"
#include "app/core/Menus.h"
#include "chips/KindScreen.h"
#include "gfx/CNxSurface.h"
#include "map/MapScreen.h"
#include "platform/Host.h"
#include "platform/NativeWindow.h"
#include "platform/Texts.h"
#include "preview/PlayerFile.h"

namespace fs = std::filesystem;

namespace {

std::string absolute(const std::string& path) {
    std::error_code ignored;
    return fs::absolute(fs::path(path), ignored).lexically_normal().string();
}

// Decodes an image without showing the decoders' notices: a file caught half-written is no
// error.
std::unique_ptr<CNxSurface> decodeQuietly(const std::string& path) {
    return std::move(CNxSurface::LoadImageFile(path).value);
}

}  // namespace

bool Application::openMap(const std::string& path) {
    // A file that does not load leaves the current one current (for reloading and settings).
    if (!m_work->map().loadMap(path)) {
        return false;
    }
    m_mapPath = path;
    noteMapFile();
    rememberMap(path);
    return true;
}

bool Application::openChips(const std::string& path) {
    const std::string previous = m_chipPath;
    m_chipPath = path;
    if (!m_work->map().loadChipImage(path)) {
        m_host.messageBox(m_mapWindow.get(), PELORIN_TEXT("画像の読み込みに失敗しました"),
                          PELORIN_TEXT("画像読み込みエラー"), platform::MessageButtons::Ok,
                          platform::MessageIcon::None);
        m_chipPath = previous;
        return false;
    }
    noteChipFile();
    return true;
}

bool Application::openKinds(const std::string& path) {
    if (!m_work->map().kindScreen()->loadFile(path)) {
        return false;
    }
    m_kindPath = path;
    m_work->map().redraw();
    return true;
}

// As the registration dialog's "ファイルから読込..." loads them, straight into the frames.
bool Application::openFrames(const std::string& path) {
    PlayerDefinition::ImageCache cache;
    PlayerFile::Opened opened;
    const platform::Outcome<bool> read = PlayerFile::open(path, cache, opened, m_host);
    if (!read.value) {
        m_host.showError(
            m_mapWindow.get(),
            m_host.formatText(PELORIN_TEXT("プレイヤー定義「%s」を読み込めませんでした\n%s"),
                              path.c_str(), read.why().c_str()),
            PELORIN_TEXT("読み込みエラー"));
        return false;
    }
    platform::show(m_host, m_mapWindow.get(), opened.notices);
    PlayerDefinition& player = m_work->player();
    player.replaceFrames(std::move(opened.frames));
    player.markSaved(opened.stored);
    if (!opened.unreadable.empty()) {
        m_host.showError(m_mapWindow.get(),
                         m_host.formatText(PELORIN_TEXT("次の画像を読み込めませんでした:%s"),
                                           PlayerFile::asLines(opened.unreadable).c_str()),
                         PELORIN_TEXT("読み込みエラー"));
    }
    return true;
}

void Application::openFiles(const std::vector<std::string>& files) {
    if (!m_work) {
        return;
    }
    // Chip images and attributes before the maps that use them; frames last.
    std::vector<std::string> images, kinds, maps, frames;
    for (const std::string& file : files) {
        const std::string path = absolute(file);
        switch (fileKindOf(path)) {
            case FileKind::Map:
                maps.push_back(path);
                break;
            case FileKind::Attributes:
                kinds.push_back(path);
                break;
            case FileKind::Frames:
                frames.push_back(path);
                break;
            case FileKind::Image:
                images.push_back(path);
                break;
            case FileKind::Unreadable:
                m_host.showError(
                    m_mapWindow.get(),
                    m_host.formatText(PELORIN_TEXT("ファイルを開けません\n%s"), path.c_str()),
                    PELORIN_TEXT("読み込みエラー"));
                break;
        }
    }
    for (const std::string& path : images) {
        openChips(path);
    }
    for (const std::string& path : kinds) {
        openKinds(path);
    }
    for (const std::string& path : maps) {
        openMap(path);
    }
    for (const std::string& path : frames) {
        openFrames(path);
    }
    workChanged();
    m_host.wakeIdle();
}

void Application::openFilesInFront(const std::vector<std::string>& files) {
    if (!m_mapWindow || m_ended) {
        return;
    }
    m_mapWindow->showNormal();
    m_mapWindow->bringToFront();
    openFiles(files);
}

void Application::drop(const std::vector<std::string>& paths) {
    if (!m_starting) {
        openFiles(paths);
    }
}

void Application::toolWindowDrop(platform::NativeWindow& window,
                                 const std::vector<std::string>& paths) {
    // An image dropped on the chip window becomes the chip image, as it does anywhere.
    if (&window == m_chipWindow.get()) {
        drop(paths);
    }
}

// --- Recent maps.

void Application::rememberMap(const std::string& path) {
    const std::string map = absolute(path);
    m_recent.erase(std::remove_if(m_recent.begin(), m_recent.end(),
                                  [&map](const RecentMap& r) { return r.map == map; }),
                   m_recent.end());
    const KindScreen* kinds = m_work->map().kindScreen();
    m_recent.insert(m_recent.begin(),
                    RecentMap{map, m_chipPath, kinds && kinds->isFileLoaded() ? m_kindPath : ""});
    if (m_recent.size() > static_cast<std::size_t>(EditorSettings::kMaxRecent)) {
        m_recent.resize(EditorSettings::kMaxRecent);
    }
    recentChanged();
}

void Application::openRecent(int index) {
    if (index < 0 || index >= static_cast<int>(m_recent.size())) {
        return;
    }
    const RecentMap entry = m_recent[index];
    if (fileKindOf(entry.map) == FileKind::Unreadable) {
        m_recent.erase(m_recent.begin() + index);
        recentChanged();
        m_host.showError(m_mapWindow.get(),
                         m_host.formatText(
                             PELORIN_TEXT("マップファイルが見つかりません。一覧から外します。\n%s"),
                             entry.map.c_str()),
                         PELORIN_TEXT("マップ読み込みエラー"));
        return;
    }
    // The chip image and attributes it was used with, when they are others and still there.
    if (!entry.chips.empty() && entry.chips != m_chipPath &&
        fileKindOf(entry.chips) != FileKind::Unreadable) {
        openChips(entry.chips);
    }
    if (!entry.kinds.empty() && entry.kinds != m_kindPath &&
        fileKindOf(entry.kinds) != FileKind::Unreadable) {
        openKinds(entry.kinds);
    }
    openMap(entry.map);
}

void Application::recentChanged() {
    std::vector<std::string> paths;
    for (const RecentMap& entry : m_recent) {
        paths.push_back(entry.map);
    }
    if (m_mapWindow) {
        m_mapWindow->setMenuBar(mapMenuBar(paths));
    }
}

// --- Watched files.

void Application::noteChipFile() {
    m_chipSeenPath = m_chipPath;
    m_chipSeen = platform::FileStamp::of(m_chipPath);
}

void Application::noteMapFile() {
    m_mapSeenPath = m_work && m_work->document().isFileBacked() ? m_mapPath : std::string();
    m_mapSeen = platform::FileStamp::of(m_mapSeenPath);
}

void Application::checkFiles() {
    if (!m_work || m_askingReload) {
        return;
    }
    if (m_chipPath != m_chipSeenPath) {
        noteChipFile();
    } else if (!m_chipPath.empty()) {
        const platform::FileStamp now = platform::FileStamp::of(m_chipPath);
        if (now != m_chipSeen) {
            // A half-written image does not decode: the old one stays until the next change.
            m_chipSeen = now;
            if (m_work->map().replaceChipImage(decodeQuietly(m_chipPath))) {
                m_host.wakeIdle();
            }
        }
    }
    const std::string map = m_work->document().isFileBacked() ? m_mapPath : std::string();
    if (map != m_mapSeenPath) {
        noteMapFile();
    } else if (!map.empty()) {
        const platform::FileStamp now = platform::FileStamp::of(map);
        if (now != m_mapSeen && now.exists) {
            m_mapSeen = now;  // No keeps the edits, and is not asked again for this change
            m_recovery.mapFileChanged();
            m_askingReload = true;
            const bool reload =
                m_host.messageBox(
                    m_mapWindow.get(),
                    PELORIN_TEXT(
                        "マップファイルが他のプログラムで変更されました。再読み込みしますか？"),
                    PELORIN_TEXT("確認"), platform::MessageButtons::YesNo,
                    platform::MessageIcon::Question) == platform::MessageAnswer::Yes;
            m_askingReload = false;
            if (reload && m_work->map().loadMap(map)) {
                noteMapFile();
                workChanged();
            }
        }
    }
}
