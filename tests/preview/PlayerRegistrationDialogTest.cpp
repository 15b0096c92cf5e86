#include "preview/PlayerRegistrationDialog.h"

#include <gtest/gtest.h>

#include <random>

#include "platform/VirtualKey.h"
#include "preview/FrameNameDialog.h"
#include "preview/FrameSettingsDialog.h"
#include "tests/preview/PreviewTestSupport.h"
#include "tests/support/ImageWriters.h"
#include "tests/support/TempDir.h"

using platform::DialogResult;
using platform::headless::HeadlessHost;
using platform::headless::HeadlessWindow;
using platform::headless::ScriptedDialog;
using testing_support::TempDir;
using Dialog = PlayerRegistrationDialog;

namespace {

// The shell's side: the definition, the preview and the dialog over them, and images on disk:
// a.bmp (2 × 3), b.bmp (4 × 1), c.bmp (3 × 3) and bad.bmp, which is not a picture.
struct Shell {
    TempDir dir;
    HeadlessHost host;
    preview_testing::FakeClock clock;
    HeadlessWindow previewWindow{platform::Size{800, 600}};
    PreviewScreen preview{host, &clock};
    PlayerDefinition definition;
    Dialog dialog{host, definition, preview};

    Shell() {
        preview.Attach(&previewWindow);
        const struct {
            const char* name;
            int width, height;
        } images[] = {{"a.bmp", 2, 3}, {"b.bmp", 4, 1}, {"c.bmp", 3, 3}};
        for (const auto& image : images) {
            testing_support::BmpPicture bmp;
            bmp.width = image.width;
            bmp.height = image.height;
            bmp.pixels = testing_support::bottomUpRows(std::vector<testing_support::Bytes>(
                image.height, testing_support::Bytes(image.width * 3, 0x40)));
            testing_support::writeBytes(dir.file(image.name), testing_support::encodeBmp(bmp));
        }
        testing_support::writeText(dir.file("bad.bmp"), "not a picture");
    }
    std::string path(const char* name) const { return dir.file(name); }
    DialogResult open(std::function<void(ScriptedDialog&)> script) {
        host.dialogScripts.push_back(std::move(script));
        return dialog.run(nullptr);
    }
    // Adds files through the chooser.
    void add(ScriptedDialog& d, std::vector<std::string> files) {
        host.fileAnswers.push_back(std::move(files));
        d.click(Dialog::kAddId);
    }
    std::vector<std::string> listed(ScriptedDialog& d) const {
        std::vector<std::string> names;
        for (int i = 0; i < d.itemCount(Dialog::kFrameListId); ++i) {
            names.push_back(d.itemText(Dialog::kFrameListId, i));
        }
        return names;
    }
};

}  // namespace

TEST(PlayerRegistration, SixtyFilesAddFiftyThenTheLimitSharingOneDecodedImage) {
    Shell s;
    s.open([&](ScriptedDialog& d) {
        s.add(d, std::vector<std::string>(60, s.path("a.bmp")));
        ASSERT_EQ(s.dialog.workingFrames(0).size(), 50u);
        ASSERT_EQ(s.host.boxes.size(), 1u);
        EXPECT_EQ(s.host.boxes[0].text, "１つのアクションに登録出来る画像は50までです");
        EXPECT_EQ(s.host.boxes[0].title, "プレイヤー登録エラー");
        EXPECT_EQ(s.dialog.workingFrames(0)[0].image, s.dialog.workingFrames(0)[49].image);
        s.add(d, {s.path("b.bmp")});
        EXPECT_EQ(s.host.boxes.back().title, "エラー") << "full before the chooser opens";
        EXPECT_EQ(s.host.fileChoosers.size(), 1u);
        d.click(Dialog::kOkId);
    });
    EXPECT_EQ(s.definition.frames(0).size(), 50u);
}

TEST(PlayerRegistration, EditsOfTheListFollowTheirRules) {
    Shell s;
    s.open([&](ScriptedDialog& d) {
        s.add(d, {s.path("a.bmp"), s.path("bad.bmp"), s.path("b.bmp"), s.path("a.bmp")});
        ASSERT_EQ(s.host.boxes.size(), 1u);
        EXPECT_EQ(s.host.boxes[0].text,
                  "画像「" + s.path("bad.bmp") + "」の読み込みに失敗しました");
        EXPECT_EQ(s.host.boxes[0].title, "画像読み込みエラー");
        const auto& frames = s.dialog.workingFrames(0);
        std::weak_ptr<CNxSurface> a = frames[0].image;
        EXPECT_EQ(frames[0].image, frames[2].image);

        // Dragging the first of three onto the third gives 2, 3, 1; onto itself nothing.
        d.drag(Dialog::kFrameListId, 0, 2);
        d.drag(Dialog::kFrameListId, 1, 1);
        d.drag(Dialog::kFrameListId, 1, -1);
        EXPECT_EQ(s.listed(d),
                  (std::vector<std::string>{s.path("b.bmp"), s.path("a.bmp"), s.path("a.bmp")}));

        // A changed frame's duplicate has the default settings.
        s.host.dialogScripts.push_back([](ScriptedDialog& settings) {
            settings.type(FrameSettingsDialog::kDisplayTimeId, "40");
            settings.type(FrameSettingsDialog::kAlphaId, "9");
            settings.click(FrameSettingsDialog::kDrawOptionId);
            settings.click(platform::Dialog::kOkId);
        });
        d.doubleClick(Dialog::kFrameListId, 0);
        EXPECT_EQ(frames[0].displayTime, 40u);
        d.click(Dialog::kDuplicateId);
        PlayerFrame defaults;
        defaults.setDefaults(4, 1);
        EXPECT_TRUE(frames[3].sameSettings(defaults));
        EXPECT_EQ(frames[3].image, frames[0].image);

        // The Delete key on the last line selects the new last.
        d.choose(Dialog::kFrameListId, 3);
        d.keyUp(Dialog::kFrameListId, platform::VK_DELETE);
        EXPECT_EQ(d.selection(Dialog::kFrameListId), 2);
        // One use of a.bmp goes, the image stays; with the second it goes.
        d.keyUp(Dialog::kFrameListId, platform::VK_DELETE);
        EXPECT_FALSE(a.expired());
        d.keyUp(Dialog::kFrameListId, platform::VK_DELETE);
        EXPECT_TRUE(a.expired());
        EXPECT_EQ(s.dialog.workingCache().count(s.path("a.bmp")), 0u);
        d.keyUp(Dialog::kFrameListId, platform::VK_DELETE);
        EXPECT_EQ(d.selection(Dialog::kFrameListId), -1);
        for (int id : {Dialog::kSettingsId, Dialog::kDeleteId, Dialog::kDeleteAllId,
                       Dialog::kPreviewId, Dialog::kDuplicateId}) {
            EXPECT_FALSE(d.isEnabled(id)) << id;
        }
        d.click(Dialog::kOkId);
    });
}

TEST(PlayerRegistration, SettingsShowLiveAndCancelKeepsWhatApplySet) {
    Shell s;
    s.open([&](ScriptedDialog& d) {
        s.add(d, {s.path("c.bmp")});
        d.choose(Dialog::kFrameListId, 0);
        s.host.dialogScripts.push_back([&](ScriptedDialog& settings) {
            EXPECT_TRUE(s.previewWindow.isVisible());
            EXPECT_EQ(s.previewWindow.title(), s.path("c.bmp"));
            EXPECT_EQ(settings.maximum(FrameSettingsDialog::kRectIds[0][1]), 2);
            EXPECT_EQ(s.previewWindow.pixel(2, 2), 0xFF404040u);
            settings.type(FrameSettingsDialog::kRectIds[0][1], "1");  // right
            EXPECT_EQ(s.previewWindow.pixel(2, 2), 0xFF000000u) << "live";
            settings.click(FrameSettingsDialog::kApplyId);
            settings.type(FrameSettingsDialog::kRectIds[0][0], "1");  // left
            settings.type(FrameSettingsDialog::kAlphaId, "0");
            EXPECT_EQ(s.previewWindow.pixel(1, 1), 0xFF000000u);
            settings.click(platform::Dialog::kCancelId);
        });
        d.click(Dialog::kSettingsId);
        EXPECT_FALSE(s.previewWindow.isVisible());
        const PlayerFrame& f = s.dialog.workingFrames(0)[0];
        EXPECT_EQ(f.sourceRect, (RECT{0, 0, 1, 2}));
        EXPECT_EQ(f.alpha, 255);

        s.host.dialogScripts.push_back([](ScriptedDialog& name) {
            name.type(FrameNameDialog::kNameId, "");
            EXPECT_FALSE(name.isEnabled(platform::Dialog::kOkId));
            name.pressEnter();
            EXPECT_FALSE(name.hasEnded());
            name.type(FrameNameDialog::kNameId, "立ち1");
            name.click(platform::Dialog::kOkId);
        });
        d.keyUp(Dialog::kFrameListId, platform::VK_F2);
        EXPECT_EQ(s.listed(d), std::vector<std::string>{"立ち1"});
        EXPECT_EQ(d.selection(Dialog::kFrameListId), 0);
        d.click(Dialog::kOkId);
    });
}

TEST(PlayerRegistration, PlayingDisablesTheEditingControlsAndEscapeDiscardsTheWorkingCopy) {
    Shell s;
    s.open([&](ScriptedDialog& d) {
        s.add(d, {s.path("a.bmp"), s.path("b.bmp")});
        d.click(Dialog::kOkId);
    });
    const std::weak_ptr<CNxSurface> a = s.definition.frames(0)[0].image;
    std::weak_ptr<CNxSurface> c;
    s.open([&](ScriptedDialog& d) {
        d.click(Dialog::kPreviewId);
        EXPECT_EQ(d.text(Dialog::kPreviewId), "プレビュー終了");
        EXPECT_EQ(s.previewWindow.title(), "1/2  " + s.path("a.bmp"));
        for (int id : {Dialog::kSettingsId, Dialog::kDeleteId, Dialog::kDeleteAllId, Dialog::kAddId,
                       Dialog::kOkId, platform::Dialog::kCancelId, Dialog::kDuplicateId}) {
            EXPECT_FALSE(d.isEnabled(id)) << id;
        }
        d.choose(Dialog::kActionId, 3);  // an empty action: the preview can still be stopped
        EXPECT_TRUE(d.isEnabled(Dialog::kPreviewId));
        d.choose(Dialog::kActionId, 0);
        s.previewWindow.send(platform::Message::command(PreviewScreen::kEndCommand));
        EXPECT_EQ(d.text(Dialog::kPreviewId), "プレビュー開始");
        EXPECT_TRUE(d.isEnabled(Dialog::kOkId));

        s.add(d, {s.path("c.bmp")});
        c = s.dialog.workingFrames(0)[2].image;
        s.host.answers = {platform::MessageAnswer::Ok};
        d.click(Dialog::kDeleteAllId);
        EXPECT_EQ(s.host.boxes.back().text, "全ての項目を削除しますか？");
        EXPECT_TRUE(s.listed(d).empty());
        d.click(Dialog::kPreviewId);
        EXPECT_TRUE(d.pressEscape());
    });
    EXPECT_EQ(s.definition.frames(0).size(), 2u);
    EXPECT_FALSE(a.expired()) << "the definition's images stay";
    EXPECT_TRUE(c.expired()) << "what only the working copy used goes";
    EXPECT_TRUE(s.dialog.workingFrames(0).empty());
    EXPECT_EQ(s.preview.GetOwnerDialog(), nullptr);
}

// Random edits against a plain model of the seven working lists and the committed ones; after
// every step the dialog, the definition and the set of decoded images must agree with it.
TEST(PlayerRegistration, RandomEditsMatchAPlainModelAndEveryImageLivesExactlyWhileUsed) {
    using Lists = std::array<std::vector<std::pair<std::string, std::string>>, 7>;  // path, name
    Shell s;
    std::mt19937 random(13);
    auto pick = [&](int n) { return static_cast<int>(random() % static_cast<unsigned>(n)); };
    const std::string files[] = {s.path("a.bmp"), s.path("b.bmp"), s.path("c.bmp"),
                                 s.path("bad.bmp")};
    Lists working, committed;
    int action = 0, step = 0;
    bool playing = false;  // while the preview plays, the editing buttons do nothing
    std::vector<std::weak_ptr<CNxSurface>> decoded;
    std::map<std::string, CNxSurface*> lastImages;

    auto modelOf = [](const PlayerDefinition::FrameList& frames) {
        std::vector<std::pair<std::string, std::string>> out;
        for (const PlayerFrame& f : frames) {
            out.emplace_back(f.path, f.displayName);
        }
        return out;
    };
    auto check = [&](ScriptedDialog* d) {
        SCOPED_TRACE("step " + std::to_string(step));
        std::map<std::string, CNxSurface*> images;
        auto collect = [&](const PlayerDefinition::FrameList& frames) {
            for (const PlayerFrame& f : frames) {
                auto [at, fresh] = images.emplace(f.path, f.image.get());
                ASSERT_EQ(at->second, f.image.get()) << "one image per path: " << f.path;
                if (fresh && std::none_of(decoded.begin(), decoded.end(),
                                          [&](auto& w) { return w.lock() == f.image; })) {
                    decoded.push_back(f.image);
                }
            }
        };
        for (int a = 0; a < 7; ++a) {
            ASSERT_EQ(modelOf(s.dialog.workingFrames(a)), d ? working[a] : Lists{}[a]);
            ASSERT_EQ(modelOf(s.definition.frames(a)), committed[a]);
            collect(s.dialog.workingFrames(a));
            collect(s.definition.frames(a));
        }
        for (const auto& [path, image] : images) {
            if (lastImages.count(path)) {
                ASSERT_EQ(lastImages[path], image) << "decoded again while in use: " << path;
            }
        }
        lastImages = images;
        ASSERT_EQ(s.preview.IsPlaying(), d != nullptr && playing);
        const auto alive =
            std::count_if(decoded.begin(), decoded.end(), [](auto& w) { return !w.expired(); });
        ASSERT_EQ(static_cast<std::size_t>(alive), images.size()) << "an image outlived its frames";
        if (d != nullptr) {
            std::vector<std::string> names;
            for (const auto& f : working[action]) {
                names.push_back(f.second);
            }
            ASSERT_EQ(s.listed(*d), names);
        }
    };

    while (step < 600) {
        working = committed;
        action = 0;
        playing = false;
        s.open([&](ScriptedDialog& d) {
            while (step < 600) {
                ++step;
                auto& list = working[action];
                const int count = static_cast<int>(list.size());
                const int selected = count > 0 ? pick(count) : -1;
                if (selected >= 0) {
                    d.choose(Dialog::kFrameListId, selected);
                }
                switch (pick(13)) {
                    case 0:
                    case 1:
                        if (playing) {
                            d.click(Dialog::kAddId);
                        } else if (count < 50) {
                            std::vector<std::string> chosen;
                            for (int n = 1 + pick(4); n > 0; --n) {
                                chosen.push_back(files[pick(4)]);
                            }
                            for (const std::string& f : chosen) {
                                if (f != files[3] && list.size() < 50) {
                                    list.emplace_back(f, f);
                                }
                            }
                            s.add(d, chosen);
                        }
                        break;
                    case 2:
                        if (selected >= 0 && count < 50 && !playing) {
                            list.emplace_back(list[selected].first, list[selected].first);
                            d.click(Dialog::kDuplicateId);
                        }
                        break;
                    case 3:
                        if (selected >= 0) {
                            const std::string name = "名前" + std::to_string(step);
                            list[selected].second = name;
                            s.host.dialogScripts.push_back([name](ScriptedDialog& n) {
                                n.type(FrameNameDialog::kNameId, name);
                                n.click(platform::Dialog::kOkId);
                            });
                            d.click(Dialog::kRenameId);
                        }
                        break;
                    case 4:
                        if (selected >= 0 && !playing) {
                            list.erase(list.begin() + selected);
                        }
                        d.click(Dialog::kDeleteId);
                        break;
                    case 5: {
                        const bool yes = pick(2) == 0;
                        if (yes && count > 0 && !playing) {
                            list.clear();
                        }
                        s.host.answers = {yes ? platform::MessageAnswer::Ok
                                              : platform::MessageAnswer::Cancel};
                        if (playing) {
                            s.host.answers.clear();
                        }
                        d.click(Dialog::kDeleteAllId);
                        break;
                    }
                    case 6: {
                        const int from = pick(count + 2) - 1, to = pick(count + 2) - 1;
                        if (from >= 0 && to >= 0 && from < count && to < count && from != to) {
                            auto moved = list[from];
                            list.erase(list.begin() + from);
                            list.insert(list.begin() + to, moved);
                        }
                        d.drag(Dialog::kFrameListId, from, to);
                        break;
                    }
                    case 7:
                        action = pick(7);
                        d.choose(Dialog::kActionId, action);
                        break;
                    case 8:
                        committed = working;
                        d.click(Dialog::kApplyId);  // disabled when nothing changed: the same
                        break;
                    case 9:
                        if (!playing) {
                            committed = working;
                            d.click(Dialog::kOkId);
                            return;
                        }
                        d.click(Dialog::kOkId);
                        break;
                    case 10:
                        if (count > 0 || playing) {
                            playing = !playing;
                        }
                        d.click(Dialog::kPreviewId);
                        break;
                    case 11:  // the frame's settings, shown alone in the preview
                        if (selected >= 0 && !playing) {
                            s.host.dialogScripts.push_back([&](ScriptedDialog& f) {
                                f.type(FrameSettingsDialog::kAlphaId, std::to_string(pick(256)));
                                f.click(pick(2) ? platform::Dialog::kOkId
                                                : platform::Dialog::kCancelId);
                            });
                            d.click(Dialog::kSettingsId);
                        }
                        break;
                    default:
                        d.pressEscape();
                        return;
                }
                check(&d);
                s.host.boxes.clear();
            }
            committed = working;
            d.click(Dialog::kOkId);
        });
        check(nullptr);
    }
}

TEST(PlayerRegistration, TheWorkingCopySavesToJsonAndLoadsBackNamingUnreadableImages) {
    Shell s;
    const std::string json = s.dir.file("player.json");
    s.open([&](ScriptedDialog& d) {
        s.add(d, {s.path("a.bmp"), s.path("c.bmp")});
        d.choose(Dialog::kActionId, 6);
        s.add(d, {s.path("b.bmp")});
        s.host.dialogScripts.push_back([](ScriptedDialog& n) {
            n.type(FrameNameDialog::kNameId, "攻撃");
            n.click(platform::Dialog::kOkId);
        });
        d.choose(Dialog::kFrameListId, 0);
        d.click(Dialog::kRenameId);
        s.host.fileAnswers.push_back({json});
        d.click(Dialog::kSaveId);
        d.click(Dialog::kOkId);
    });
    const std::string text = testing_support::readText(json);
    EXPECT_NE(text.find(R"("image": "a.bmp",)"), std::string::npos) << text;
    EXPECT_NE(text.find(R"("name": "攻撃",)"), std::string::npos) << text;
    EXPECT_NE(text.find(R"("sourceRect": [
            0,
            0,
            1,
            2
          ],)"),
              std::string::npos)
        << text;

    // Into a new session's definition, once c.bmp is gone.
    ::unlink(s.path("c.bmp").c_str());
    testing_support::writeText(s.dir.file("broken.json"), R"({"pelorinPlayer": 1, "actions": []})");
    PlayerDefinition later;
    Dialog other{s.host, later, s.preview};
    s.host.dialogScripts.push_back([&](ScriptedDialog& d) {
        s.add(d, {s.path("b.bmp")});
        s.host.fileAnswers.push_back({s.dir.file("broken.json")});
        d.click(Dialog::kLoadId);
        EXPECT_EQ(s.host.boxes.back().title, "読み込みエラー");
        EXPECT_EQ(other.workingFrames(0).size(), 1u) << "a file it cannot take changes nothing";
        s.host.fileAnswers.push_back({json});
        d.click(Dialog::kLoadId);
        EXPECT_EQ(s.host.boxes.back().text, "次の画像を読み込めませんでした:\n" + s.path("c.bmp"));
        ASSERT_EQ(other.workingFrames(0).size(), 1u);
        ASSERT_EQ(other.workingFrames(6).size(), 1u);
        EXPECT_EQ(other.workingFrames(6)[0].displayName, "攻撃");
        EXPECT_EQ(other.workingFrames(0)[0].path, s.path("a.bmp"));
        EXPECT_TRUE(other.workingFrames(0)[0].sameSettings(s.definition.frames(0)[0]));
        d.click(Dialog::kOkId);
    });
    other.run(nullptr);
    EXPECT_EQ(later.frames(6).size(), 1u);
}
