#include "gfx/CNxWindow.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <memory>
#include <random>
#include <string>
#include <vector>

#include "gfx/CNxFrameWindow.h"
#include "gfx/CNxSprite.h"
#include "gfx/CNxSurface.h"
#include "platform/headless/HeadlessWindow.h"

using platform::headless::HeadlessWindow;

namespace {

std::unique_ptr<CNxSurface> solid(std::int32_t w, std::int32_t h, std::uint32_t colour) {
    auto s = std::make_unique<CNxSurface>(32);
    s->Create(w, h);
    s->Fill(nullptr, colour);
    return s;
}

// A window object bound to a fake window of the given client size, black background.
struct Scene {
    HeadlessWindow native;
    CNxWindow window;
    explicit Scene(int w = 96, int h = 40) : native(platform::Size{w, h}) {
        window.Attach(&native);
        window.SetBackgroundColour(0xFF000000);
    }
};

}  // namespace

// Tiles are powers of two; the back buffer is one tile high and a whole number of tiles wide,
// 2048 pixels at most unless one tile is wider.
TEST(CNxWindow, TileSizesAreRoundedUpToPowersOfTwo) {
    const int cases[][6] = {// asked for, tile, back buffer
                            {33, 8, 64, 8, 2048, 8},
                            {200, 20, 256, 32, 2048, 32},
                            {1, 1, 1, 1, 2048, 1},
                            {768, 8, 1024, 8, 2048, 8},
                            {3000, 8, 4096, 8, 4096, 8}};
    for (const auto& c : cases) {
        CNxWindow window;
        window.SetTileSize(c[0], c[1]);
        EXPECT_EQ(window.GetTileWidth(), std::uint32_t(c[2])) << c[0];
        EXPECT_EQ(window.GetTileHeight(), std::uint32_t(c[3])) << c[1];
        EXPECT_EQ(window.GetBackBuffer()->GetWidth(), c[4]) << c[0];
        EXPECT_EQ(window.GetBackBuffer()->GetHeight(), c[5]) << c[1];
    }
}

TEST(CNxWindow, PresentsOnlyTheTilesThatChanged) {
    Scene scene(96, 40);  // 3 × 5 tiles of 32 × 8
    auto red = solid(10, 4, 0xFFFF0000);
    CNxSprite* sprite = &scene.window.AddChild<CNxSprite>(red.get());
    sprite->SetPosition(40, 10);
    ASSERT_EQ(scene.window.Update(), 1);
    EXPECT_EQ(scene.native.presents.size(), 5u) << "first update: every row of tiles";
    EXPECT_EQ(scene.native.pixel(40, 10), 0xFFFF0000u);
    EXPECT_EQ(scene.native.pixel(49, 13), 0xFFFF0000u);
    EXPECT_EQ(scene.native.pixel(50, 13), 0xFF000000u);

    scene.native.presents.clear();
    ASSERT_EQ(scene.window.Update(), 1);
    EXPECT_TRUE(scene.native.presents.empty()) << "nothing changed, nothing presented";

    // Moving it redraws its old and its new place and nothing else.
    sprite->SetPosition(70, 30);
    scene.window.Update();
    // The back buffer is one tile high, so the new place comes as two runs.
    EXPECT_EQ(scene.native.presents,
              (std::vector<platform::Rect>{{32, 8, 64, 16}, {64, 24, 96, 32}, {64, 32, 96, 40}}));
    EXPECT_EQ(scene.native.pixel(40, 10), 0xFF000000u);
    EXPECT_EQ(scene.native.pixel(70, 30), 0xFFFF0000u);

    // Invalidating part of it redraws just that part's tiles.
    scene.native.presents.clear();
    red->Fill(0, 0, 1, 1, 0xFF00FF00);
    const RECT corner{0, 0, 1, 1};
    sprite->Invalidate(&corner);
    scene.window.Update();
    EXPECT_EQ(scene.native.presents, (std::vector<platform::Rect>{{64, 24, 96, 32}}));
    EXPECT_EQ(scene.native.pixel(70, 30), 0xFF00FF00u);
}

TEST(CNxWindow, SiblingsDrawInAscendingZAndParentsClipTheirChildren) {
    Scene scene(64, 16);
    auto red = solid(8, 8, 0xFFFF0000);
    auto blue = solid(8, 8, 0xFF0000FF);
    CNxLayer* layer = &scene.window.AddChild<CNxLayer>();
    const RECT area{0, 0, 12, 16};
    layer->SetRect(&area);
    layer->SetPosition(2, 0);
    CNxSprite* a = &layer->AddChild<CNxSprite>(red.get());
    CNxSprite* b = &layer->AddChild<CNxSprite>(blue.get());
    a->SetPosition(0, 0);
    b->SetPosition(4, 0);
    scene.window.Update();
    EXPECT_EQ(scene.native.pixel(7, 0), 0xFF0000FFu) << "added later, drawn on top";
    b->SetZOrder(-1);
    scene.window.Update();
    EXPECT_EQ(scene.native.pixel(7, 0), 0xFFFF0000u) << "a lower z draws underneath";
    EXPECT_EQ(scene.native.pixel(13, 0), 0xFF0000FFu);
    EXPECT_EQ(scene.native.pixel(14, 0), 0xFF000000u) << "cut at the layer's right edge";

    layer->RemoveChild(a);  // its area is redrawn without it
    scene.window.Update();
    EXPECT_EQ(scene.native.pixel(2, 0), 0xFF000000u);
}

TEST(CNxWindow, BackgroundAndFade) {
    Scene scene(32, 8);
    scene.window.SetFadeLevel(0);
    scene.window.Update();
    EXPECT_EQ(scene.native.pixel(5, 5), 0xFF000000u);
    scene.window.SetBackgroundColour(0xFF204060);
    scene.window.Update();
    EXPECT_EQ(scene.native.pixel(5, 5), 0xFF000000u) << "level 0 is black";
    scene.window.SetFadeLevel(510);
    scene.window.Update();
    // White at alpha 254 over (0x20, 0x40, 0x60): d + floor((255 − d) × 255 / 256).
    EXPECT_EQ(scene.native.pixel(5, 5) & 0xFFFFFF, 0xFEFEFEu);
    EXPECT_EQ(scene.window.SetFadeLevel(512), 510u);
    EXPECT_EQ(scene.window.SetFadeLevel(255), 510u) << "512 was ignored";
    scene.window.Update();
    EXPECT_EQ(scene.native.pixel(5, 5), 0xFF204060u);
}

TEST(CNxWindow, ResizingAndDestroyingTheWindow) {
    Scene scene(32, 8);
    scene.window.Update();
    scene.native.userResize(platform::Size{64, 16});
    EXPECT_EQ(scene.window.GetRect(), (RECT{0, 0, 64, 16}));
    scene.native.presents.clear();
    scene.window.Update();
    EXPECT_EQ(scene.native.presents.size(), 2u) << "the whole new area";

    scene.native.destroy();
    EXPECT_EQ(scene.window.GetWindow(), nullptr);
    EXPECT_EQ(scene.window.Update(), 0);
}

TEST(CNxFrameWindow, WindowedModeGivesAnExactClientSize) {
    HeadlessWindow native(platform::Size{100, 100});
    CNxFrameWindow frame;
    EXPECT_EQ(frame.SetScreenMode(800, 600, false), 0) << "not bound yet";
    frame.Attach(&native);
    EXPECT_EQ(frame.SetScreenMode(800, 600, false), 1);
    EXPECT_EQ(native.clientSize(), (platform::Size{800, 600}));
    EXPECT_EQ(frame.GetRect().right, 800);
    EXPECT_FALSE(frame.IsFullScreen());
}

// Random trees of layers and sprites, changed at random: after every Update the window must show
// exactly what a full redraw of the tree shows. A change whose area is not redrawn shows up as a
// pixel difference.
TEST(CNxWindow, IncrementalUpdatesMatchAFullRedraw) {
    std::mt19937 random(20261206);
    auto pick = [&](int n) { return static_cast<int>(random() % static_cast<unsigned>(n)); };
    for (int round = 0; round < 30; ++round) {
        Scene scene(160, 72);
        scene.window.SetTileSize(1 << pick(6), 1 << pick(5));
        std::vector<std::unique_ptr<CNxSurface>> surfaces;
        for (int i = 0; i < 6; ++i) {
            auto s = std::make_unique<CNxSurface>(32);
            s->Create(4 + pick(40), 4 + pick(30));
            for (int p = 0; p < 6; ++p) {
                s->Fill(pick(40), pick(30), pick(12), pick(12),
                        static_cast<std::uint32_t>(random()));
            }
            surfaces.push_back(std::move(s));
        }
        std::vector<CNxLayer*> nodes{&scene.window};
        auto addNode = [&]() {
            CNxLayer* parent = nodes[pick(static_cast<int>(nodes.size()))];
            CNxLayer* node;
            if (pick(3) == 0) {
                node = &parent->AddChild<CNxLayer>();
                const RECT r{0, 0, pick(120), pick(60)};
                node->SetRect(&r);
            } else {
                node = &parent->AddChild<CNxSprite>(surfaces[pick(6)].get());
            }
            node->SetPosition(pick(200) - 30, pick(100) - 20);
            nodes.push_back(node);
        };
        for (int i = 0; i < 8; ++i) {
            addNode();
        }
        auto under = [](CNxLayer* node, CNxLayer* above) {
            for (CNxLayer* p = node; p != nullptr; p = p->GetParent()) {
                if (p == above) {
                    return true;
                }
            }
            return false;
        };
        std::string trace;
        for (int step = 0; step < 40; ++step) {
            trace.clear();
            const int changes = 1 + pick(3);
            for (int c = 0; c < changes; ++c) {
                if (nodes.size() < 2) {
                    addNode();
                    continue;
                }
                CNxLayer* node = nodes[1 + pick(static_cast<int>(nodes.size()) - 1)];
                const int what = pick(10);
                trace += std::to_string(what) + " ";  // the changes of this step, for a failure
                switch (what) {
                    case 0:
                        node->SetPosition(pick(200) - 30, pick(100) - 20);
                        break;
                    case 1:
                        node->SetVisible(!node->IsVisible());
                        break;
                    case 2:
                        node->SetZOrder(pick(5) - 2);
                        break;
                    case 3:
                        node->SetOffset(pick(9) - 4, pick(9) - 4);
                        break;
                    case 4: {
                        const RECT r{pick(10), pick(10), 10 + pick(50), 10 + pick(40)};
                        node->SetRect(&r);
                        break;
                    }
                    case 5: {
                        // The node itself or one under it is refused as its parent.
                        CNxLayer* parent = nodes[pick(static_cast<int>(nodes.size()))];
                        CNxLayer* before = node->GetParent();
                        ASSERT_EQ(node->SetParent(parent), before);
                        ASSERT_EQ(node->GetParent(), under(parent, node) ? before : parent);
                        break;
                    }
                    case 6:
                        node->SetClipChildren(!node->GetClipChildren());
                        break;
                    case 7: {
                        // New pixels in a surface, and every sprite showing it told so.
                        CNxSurface* surface = surfaces[pick(6)].get();
                        const RECT r{pick(30), pick(20), pick(40), pick(30)};
                        surface->Fill(&r, static_cast<std::uint32_t>(random()));
                        for (CNxLayer* n : nodes) {
                            auto* sprite = dynamic_cast<CNxSprite*>(n);
                            if (sprite != nullptr && sprite->GetSurface() == surface) {
                                CNxBlitParams params;
                                params.m_flags = pick(2) ? std::uint32_t(NxBlt_SourceAlpha) : 0u;
                                sprite->SetParams(&params);
                                sprite->Invalidate(&r);
                            }
                        }
                        break;
                    }
                    case 8: {
                        // Taken out and put under a node outside it, or destroyed with the
                        // nodes under it.
                        CNxLayer* into = nodes[pick(static_cast<int>(nodes.size()))];
                        std::unique_ptr<CNxLayer> taken = node->GetParent()->TakeChild(node);
                        if (under(into, node) || into->AddChild(std::move(taken)) != node) {
                            nodes.erase(std::remove_if(nodes.begin(), nodes.end(),
                                                       [&](CNxLayer* n) { return under(n, node); }),
                                        nodes.end());
                        }
                        break;
                    }
                    default:
                        addNode();
                        break;
                }
            }
            ASSERT_EQ(scene.window.Update(), 1);
            const std::vector<std::uint32_t> incremental = scene.native.pixels();
            ASSERT_EQ(scene.window.Update(true), 1);
            ASSERT_EQ(incremental, scene.native.pixels())
                << "round " << round << " step " << step << " " << trace;
        }
    }
}

TEST(CNxWindow, AHookMayRemoveANodeNotYetVisited) {
    Scene scene;
    struct Remover : CNxLayer {
        using CNxLayer::CNxLayer;
        CNxLayer* doomed = nullptr;
        void OnUpdate() override {
            GetParent()->RemoveChild(doomed);
            doomed = nullptr;
        }
    };
    auto* remover = &scene.window.AddChild<Remover>();
    remover->doomed = &scene.window.AddChild<CNxLayer>();
    EXPECT_EQ(scene.window.Update(), 1);
    EXPECT_EQ(scene.window.GetChildren(), std::vector<CNxLayer*>{remover});
}

// root ─┬─ a ── c
//       └─ b
// After each change, the nodes it destroyed; every node is destroyed exactly once in the end.
TEST(CNxLayer, ParentsOwnTheirChildren) {
    struct Named : CNxLayer {
        std::string& gone;
        char name;
        Named(std::string& gone, char name) : gone(gone), name(name) {}
        ~Named() override { gone += name; }
    };
    struct Tree {
        CNxLayer &root, &a, &b, &c;
    };
    const struct {
        const char* what;
        void (*change)(Tree&);
        const char* gone;
    } cases[] = {
        {"removing destroys the subtree", [](Tree& t) { EXPECT_TRUE(t.root.RemoveChild(&t.a)); },
         "ac"},
        {"only a child is removed", [](Tree& t) { EXPECT_FALSE(t.root.RemoveChild(&t.c)); }, ""},
        {"clearing destroys every child", [](Tree& t) { t.a.ClearChildren(); }, "c"},
        {"a moved node is its new parent's",
         [](Tree& t) {
             EXPECT_EQ(t.c.SetParent(&t.b), &t.a);
             t.root.RemoveChild(&t.a);
         },
         "a"},
        {"a taken node is the taker's",
         [](Tree& t) {
             std::unique_ptr<CNxLayer> a = t.root.TakeChild(&t.a);
             EXPECT_EQ(a->GetParent(), nullptr);
             EXPECT_EQ(t.root.GetChildren(), std::vector<CNxLayer*>{&t.b});
             EXPECT_EQ(t.b.AddChild(std::move(a)), &t.a);
             t.root.RemoveChild(&t.b);
         },
         "bac"},
        {"no node goes under itself or out of the tree",
         [](Tree& t) {
             EXPECT_EQ(t.a.SetParent(&t.c), &t.root);
             EXPECT_EQ(t.a.SetParent(&t.a), &t.root);
             EXPECT_EQ(t.a.SetParent(nullptr), &t.root);
             EXPECT_EQ(t.root.SetParent(&t.b), nullptr);
             EXPECT_EQ(t.c.GetParent(), &t.a);
             EXPECT_EQ(t.a.GetParent(), &t.root);
             EXPECT_EQ(t.root.GetParent(), nullptr);
         },
         ""},
    };
    for (const auto& test : cases) {
        std::string gone;
        auto root = std::make_unique<Named>(gone, 'r');
        Named& a = root->AddChild<Named>(gone, 'a');
        Tree tree{*root, a, root->AddChild<Named>(gone, 'b'), a.AddChild<Named>(gone, 'c')};
        test.change(tree);
        EXPECT_EQ(gone, test.gone) << test.what;
        root.reset();
        std::sort(gone.begin(), gone.end());
        EXPECT_EQ(gone, "abcr") << test.what;
    }
}
