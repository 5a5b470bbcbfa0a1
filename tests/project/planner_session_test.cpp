// SPDX-License-Identifier: MIT
#include <fstream>
#include <functional>
#include <gtest/gtest.h>
#include <random>
#include <sstream>

#include "project/group_rows.hpp"
#include "project/planner_session.hpp"
#include "project/project_reports.hpp"
#include "project/project_writer.hpp"
#include "project/site_compute.hpp"
#include "project/site_points_text.hpp"

namespace lenstally {
namespace {

Project example(const char* name) {
    std::ifstream in(std::string(LENSTALLY_SOURCE_DIR) + "/examples/" + name, std::ios::binary);
    const std::string text{std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
    ProjectParse parsed = ParseProject(text);
    EXPECT_TRUE(parsed.project) << parsed.error;
    return parsed.project.value_or(Project{});
}

std::string fileText(const PlannerSession& session) {
    return ProjectFileText(session.document().toProject());
}

FormAction typing(ControlId control, std::string text) {
    return {FormAction::Kind::Type, control, -1, std::move(text)};
}

PlanInputs planOf(const PlannerSession& session) {
    PlanInputs in;
    const ProjectDocument& d = session.document();
    if (d.storage()) {
        const StorageSection& s = *d.storage();
        in.storage = true;
        in.driveSize = s.drive.number;
        in.driveUnit = s.drive.unit;
        in.raid = s.layout.raid;
        in.arrayWidth = static_cast<double>(s.layout.arrayWidth);
        in.spares = static_cast<double>(s.layout.spares);
        in.overhead = s.layout.overheadPercent;
        in.fill = s.layout.fillPercent;
        in.drives = static_cast<double>(s.drives.value_or(0));
    }
    if (d.recorder()) {
        in.recorder = true;
        in.channels = d.recorder()->channels.value_or(0);
        in.mbps = d.recorder()->mbps.value_or(0);
        in.bays = d.recorder()->bays.value_or(0);
    }
    return in;
}

CameraInputs cameraOf(const PlannerSession& session, std::size_t group) {
    const GroupResult& r = session.document().result(group);
    CameraInputs in;
    in.camera = r.camera.description.value_or("");
    in.pixels = static_cast<double>(r.pixels);
    in.resolutionWidth = !r.camera.pixels;
    in.view = r.camera.view.has_value();
    return in;
}

// Each edit once on the distribution centre (group 1 selected): its undo gives back the file
// as opened, with the group that was edited selected, and its redo the edited file.
TEST(PlannerSession, each_edit_undoes_to_the_file_before_and_redoes_to_the_one_after) {
    struct Case {
        const char* label;
        std::function<void(PlannerSession&)> edit;
        std::optional<std::size_t> selectedAfterUndo;
    };
    const std::vector<Case> cases{
        {"Add group", [](PlannerSession& s) { s.addGroup(); }, 1},
        {"Duplicate group", [](PlannerSession& s) { s.duplicateGroup(); }, 1},
        {"Remove group", [](PlannerSession& s) { s.removeGroup(); }, 1},
        {"Move group up", [](PlannerSession& s) { s.moveGroupUp(); }, 1},
        {"Move group down", [](PlannerSession& s) { s.moveGroupDown(); }, 1},
        {"Rename group", [](PlannerSession& s) { s.renameGroup(2, "Yard"); }, 2},
        {"Change activity", [](PlannerSession& s) { s.setActivity(3, 12.5); }, 3},
        {"Edit Number of Cameras",
         [](PlannerSession& s) { s.editForm(0, typing(ControlId::txtCameraCount, "99")); }, 0},
        {"Edit H.264",
         [](PlannerSession& s) {
             s.editForm(3, {FormAction::Kind::Select, ControlId::optStream2, -1, {}});
         },
         3},
        {"Edit camera view",
         [](PlannerSession& s) {
             CameraInputs in = cameraOf(s, 3);
             in.view = true;
             s.editCamera(3, CameraField::View, in);
         },
         3},
        {"Edit storage plan",
         [](PlannerSession& s) {
             PlanInputs in = planOf(s);
             in.spares = 3;
             s.editPlan(PlanField::Spares, in);
         },
         1},
        {"Rename project", [](PlannerSession& s) { s.renameProject("Depot"); }, 1},
    };
    for (const Case& c : cases) {
        PlannerSession session;
        session.open(example("distribution-centre.json"));
        session.select(1);
        const std::string opened = fileText(session);
        c.edit(session);
        const std::string edited = fileText(session);
        EXPECT_NE(edited, opened) << c.label;
        EXPECT_EQ(session.undoText(), std::optional<std::string>(c.label));
        EXPECT_TRUE(session.isModified()) << c.label;
        session.undo();
        EXPECT_EQ(fileText(session), opened) << c.label;
        EXPECT_EQ(session.selected(), c.selectedAfterUndo) << c.label;
        EXPECT_FALSE(session.isModified()) << c.label;
        EXPECT_EQ(session.redoText(), std::optional<std::string>(c.label));
        session.redo();
        EXPECT_EQ(fileText(session), edited) << c.label;
        EXPECT_TRUE(session.isModified()) << c.label;
    }
}

TEST(PlannerSession, consecutive_edits_of_one_field_make_one_step_but_never_across_a_save) {
    PlannerSession s;
    s.open(example("shop.json"));
    s.editForm(0, typing(ControlId::txtCameraCount, "1"));
    s.editForm(0, typing(ControlId::txtCameraCount, "12"));
    s.renameGroup(0, "T");
    s.renameGroup(0, "Till");
    s.editForm(1, typing(ControlId::txtCameraCount, "5")); // another group's box
    EXPECT_EQ(s.stepCount(), 3U);
    s.markSaved();
    s.editForm(1, typing(ControlId::txtCameraCount, "50"));
    EXPECT_EQ(s.stepCount(), 4U);
    s.undo();
    EXPECT_FALSE(s.isModified());
    EXPECT_EQ(s.document().group(1).form.control(ControlId::txtCameraCount).text, "5");
    // An edit after undoing past the saved state leaves no way back to it.
    s.undo();
    s.renameGroup(0, "Door");
    EXPECT_TRUE(s.isModified());
    EXPECT_FALSE(s.redoText());
}

TEST(PlannerSession, refused_edits_change_nothing_and_say_why) {
    PlannerSession s;
    s.open(example("distribution-centre.json"));
    const std::string opened = fileText(s);
    EXPECT_EQ(s.editForm(0, {FormAction::Kind::Pick, ControlId::cmbFPS, 30, {}}).error,
              "cmbFPS has no such item");
    CameraInputs camera = cameraOf(s, 0);
    camera.pixels = 1280.5;
    EXPECT_EQ(s.editCamera(0, CameraField::Pixels, camera).error,
              "\"pixels\" must be a whole number");
    PlanInputs plan = planOf(s);
    plan.fill = 0;
    EXPECT_EQ(s.editPlan(PlanField::Fill, plan).error,
              "File-system overhead is from 0 to below 100 %, Fill limit above 0 to 100 %");
    EXPECT_EQ(s.renameGroup(9, "x").error, "no such group");
    EXPECT_EQ(fileText(s), opened);
    EXPECT_EQ(s.stepCount(), 0U);
}

TEST(PlannerSession, a_drive_count_the_layout_cannot_use_moves_on_and_says_so_once) {
    PlannerSession s;
    s.open(example("distribution-centre.json"));
    PlanInputs plan = planOf(s);
    plan.raid = RaidLevel::Raid6;
    s.editPlan(PlanField::Raid, plan);
    plan = planOf(s);
    plan.drives = 4;
    const SessionChange& change = s.editPlan(PlanField::Drives, plan);
    EXPECT_EQ(change.note, "4 drives are not a valid RAID 6 set with 1 spare(s); drives "
                           "installed is now 5.");
    EXPECT_EQ(s.document().storage()->drives, std::optional<std::int64_t>(5));
    EXPECT_EQ(s.select(0).note, "");
}

// The site plan's edits: a camera placed beyond the group's count raises the count in the same
// step; a drag is one step; the scale taken from two points moves everything on the plan with it;
// an outline that crosses itself is refused.
TEST(PlannerSession, site_edits_move_everything_on_the_plan_together) {
    PlannerSession s;
    s.open(example("distribution-centre.json"));
    s.editForm(0, typing(ControlId::txtCameraCount, "1"));
    s.startSite(40, 30);
    s.placeCamera(0, {10, 10}, -90);
    EXPECT_EQ(s.document().group(0).placements.at(0).heading, 270);
    const std::size_t steps = s.stepCount();
    s.placeCamera(0, {12, 10}, 0);
    EXPECT_EQ(s.document().group(0).form.control(ControlId::txtCameraCount).text, "2");
    EXPECT_EQ(s.stepCount(), steps + 1);
    for (double x = 13; x <= 16; ++x) {
        s.editPlacement(0, 1, PlacementField::Position, {x, 10, 0, std::nullopt});
    }
    EXPECT_EQ(s.stepCount(), steps + 2);
    EXPECT_EQ(s.undoText(), std::optional<std::string>("Move camera"));
    s.addZone({"Gate", ViewLevel::Detect, {{1, 1}, {5, 1}, {5, 5}, {1, 5}}, 100});
    EXPECT_EQ(s.editZone(0, ZoneField::Points,
                         {"Gate", ViewLevel::Detect, {{1, 1}, {5, 5}, {5, 1}, {1, 5}}, 100})
                  .error,
              "a zone needs 3 or more corners, and no edge of it may cross another");
    // (0, 0) to (10, 0) is 20 m: the plan doubles, and so does every place on it.
    s.scaleSite({0, 0}, {10, 0}, 20);
    EXPECT_EQ(s.document().site()->width, 80);
    EXPECT_EQ(s.document().site()->zones.at(0).points.at(2), (SitePoint{10, 10}));
    EXPECT_EQ(s.document().group(0).placements.at(1).x, 32);
    EXPECT_EQ(s.placeCamera(3, {1, 1}, 0).error,
              "give the group a camera view first: its lens says what each camera sees");
}

// Points of walls and zones one by one: a drag is one step, a second drag of the same point
// another; the edit keeps points on the plan, zones simple, and walls and zones their fewest
// points; typed points read as ReadPointsText reads them.
TEST(PlannerSession, points_are_moved_removed_and_typed_one_outline_at_a_time) {
    PlannerSession s;
    s.open(example("shop.json"));
    s.startSite(40, 30);
    s.addWall({{0, 20}, {30, 20}});
    s.addZone({"Gate", ViewLevel::Detect, {{1, 1}, {5, 1}, {5, 5}, {1, 5}}, 100});
    const std::size_t steps = s.stepCount();
    s.movePoint(SiteOutline::Wall, 0, 1, {31, 21});
    s.movePoint(SiteOutline::Wall, 0, 1, {50, -4}); // past two edges: pinned to the corner
    EXPECT_EQ(s.document().site()->walls[0][1], (SitePoint{40, 0}));
    s.closeStep();
    s.movePoint(SiteOutline::Wall, 0, 1, {32, 20});
    EXPECT_EQ(s.stepCount(), steps + 2);
    s.undo();
    EXPECT_EQ(s.document().site()->walls[0][1], (SitePoint{40, 0}));
    EXPECT_FALSE(s.movePoint(SiteOutline::Zone, 0, 0, {5, 3}).error.empty()); // would cross
    EXPECT_EQ(s.removePoint(SiteOutline::Wall, 0, 0).error,
              "a wall keeps at least 2 points: remove the wall instead");
    EXPECT_TRUE(s.removePoint(SiteOutline::Zone, 0, 3).error.empty());
    EXPECT_EQ(s.removePoint(SiteOutline::Zone, 0, 2).error,
              "a zone keeps at least 3 points: remove the zone instead");
    EXPECT_FALSE(s.removePoint(SiteOutline::Zone, 0, 3).error.empty());
    EXPECT_TRUE(
        s.setPointsText(SiteOutline::Zone, 0, "[[2, 2], [6.25, 2], [6, 0.125]]").error.empty());
    EXPECT_EQ(s.document().site()->zones[0].points,
              (std::vector<SitePoint>{{2, 2}, {6.25, 2}, {6, 0.125}}));
    EXPECT_FALSE(s.setPointsText(SiteOutline::Wall, 0, "1 2; 3").error.empty());
    EXPECT_FALSE(s.setPointsText(SiteOutline::Wall, 1, "1 2; 3 4").error.empty());
}

TEST(PointsText, reads_back_every_number_exactly_and_refuses_what_is_not_a_list_of_points) {
    const std::vector<SitePoint> points{{0, 20}, {0.1, 1e5}, {1.0 / 3, 0x1p-30}};
    EXPECT_EQ(PointsText({{0, 20}, {30.25, 20}}), "0 20; 30.25 20");
    EXPECT_EQ(ReadPointsText(PointsText(points)), points);
    EXPECT_EQ(ReadPointsText("0,20 (30.25,20)"), (std::vector<SitePoint>{{0, 20}, {30.25, 20}}));
    EXPECT_EQ(ReadPointsText(""), std::vector<SitePoint>{});
    for (const char* bad : {"1 2 3", "1 2; x 4", "1e999 2", "nan 1", "1 2e", "+1 2", "1-2 3 4"}) {
        EXPECT_EQ(ReadPointsText(bad), std::nullopt) << bad;
    }
}

// Whatever the camera count is typed as once cameras are placed, the file saved reads back.
TEST(PlannerSession, a_camera_count_below_the_cameras_placed_still_saves_a_file_that_reads) {
    PlannerSession s;
    s.open(example("distribution-centre.json"));
    s.startSite(40, 30);
    s.editForm(0, typing(ControlId::txtCameraCount, "2"));
    s.placeCamera(0, {10, 10}, 0);
    s.placeCamera(0, {12, 10}, 0);
    for (const char* count : {"1", "-3", "0", "1.5", "x", ""}) {
        s.editForm(0, typing(ControlId::txtCameraCount, count));
        s.placeCamera(0, {14, 10}, 0);
        const ProjectParse read = ParseProject(fileText(s));
        EXPECT_TRUE(read.project) << count << ": " << read.error;
    }
}

// Scaling never leaves a file the reader refuses: points stay on the plan, and a scale that
// would fold a zone whose corners nearly meet is refused.
TEST(PlannerSession, scaling_the_plan_keeps_it_readable) {
    PlannerSession s;
    s.open(example("shop.json"));
    s.startSite(30, 30);
    s.addZone({"Sliver", ViewLevel::Detect, {{0, 0}, {30, 30}, {0x1p-40, 0}}, 100});
    s.addZone({"Edge", ViewLevel::Detect, {{1, 1}, {30, 1}, {30, 30}}, 100});
    // 30 * (7.8 / 30) rounds to a hair above 7.8: the zone's corner at the edge would leave it.
    for (const double width : {7.8, 15.5, 3.9, 31.0}) {
        s.scaleSiteToWidth(width);
        const ProjectParse read = ParseProject(fileText(s));
        EXPECT_TRUE(read.project) << width << ": " << read.error;
    }
}

// A face that keeps its own copy of the table's texts, updated only as the session announces
// changes, must always show what the document holds.
class MirrorTable final : public PlannerSession::Listener {
public:
    explicit MirrorTable(const PlannerSession& session) : m_session(session) {}

    void beforeGroupChange(const ProjectDocument::GroupChange& change) override {
        using Kind = ProjectDocument::GroupChange::Kind;
        if (change.kind == Kind::Remove || change.kind == Kind::Move) {
            // Still the document's row: the group that is about to go or move.
            EXPECT_EQ(m_rows.at(change.at), texts(change.at));
        }
    }

    void afterGroupChange(const ProjectDocument::GroupChange& change) override {
        using Kind = ProjectDocument::GroupChange::Kind;
        const auto at = static_cast<std::ptrdiff_t>(change.at);
        switch (change.kind) {
        case Kind::Insert:
            m_rows.insert(m_rows.begin() + at, texts(change.at));
            break;
        case Kind::Remove:
            m_rows.erase(m_rows.begin() + at);
            break;
        case Kind::Move: {
            std::string moved = m_rows[change.at];
            m_rows.erase(m_rows.begin() + at);
            m_rows.insert(m_rows.begin() + static_cast<std::ptrdiff_t>(change.to), moved);
            break;
        }
        case Kind::Replace:
            break;
        case Kind::Reset:
            m_rows.clear();
            for (std::size_t i = 0; i < m_session.document().groupCount(); ++i) {
                m_rows.push_back(texts(i));
            }
            break;
        }
    }

    void sessionChanged(const SessionChange& change) override {
        for (const std::size_t row : change.rows) {
            m_rows.at(row) = texts(row);
        }
        if (change.selection) {
            m_selected = m_session.selected();
        }
    }

    bool matches() const {
        std::vector<std::string> now;
        for (std::size_t i = 0; i < m_session.document().groupCount(); ++i) {
            now.push_back(texts(i));
        }
        return now == m_rows && m_selected == m_session.selected();
    }

private:
    std::string texts(std::size_t i) const {
        std::string row;
        for (std::size_t c = 0; c < kGroupColumnCount; ++c) {
            row += GroupCellText(m_session.document(), i, static_cast<GroupColumn>(c)) + '|';
        }
        return row;
    }

    const PlannerSession& m_session;
    std::vector<std::string> m_rows;
    std::optional<std::size_t> m_selected;
};

// Every site figure in words, to the last bit.
std::string siteOf(const std::optional<SiteResult>& site) {
    if (!site) {
        return "no site";
    }
    std::ostringstream out;
    out.precision(17);
    for (const PlacementResult& p : site->placements) {
        out << p.label << ' ' << p.placement.x << ' ' << p.placement.y << ' '
            << p.placement.heading;
        for (const double area : p.area) {
            out << ' ' << area;
        }
        out << '\n';
    }
    for (const ZoneResult& z : site->zones) {
        out << z.percent << ' ' << z.met << ' ' << z.covering.size() << '\n';
    }
    return out.str();
}

std::string jsonOf(const ProjectResult& result) {
    std::string out;
    WriteProjectJson(result, out);
    return out + siteOf(result.site);
}

// A few hundred random edits, undos and redos. After each: the announced changes kept a mirror
// of the table right, the figures are those the command line computes for the saved file,
// undoing everything gives back the opened file byte for byte and redoing everything the last.
TEST(PlannerSession, random_edits_undo_to_the_opened_file_and_redo_to_the_last) {
    for (const char* name : {"distribution-centre.json"}) {
        std::mt19937 random(20261209);
        PlannerSession s;
        MirrorTable mirror(s);
        s.setListener(&mirror);
        s.open(example(name));
        const std::string opened = fileText(s);
        auto pick = [&random](std::size_t n) {
            return std::uniform_int_distribution<std::size_t>(0, n - 1)(random);
        };
        const std::vector<std::function<void()>> edits{
            [&] { s.addGroup(); },
            [&] { s.duplicateGroup(); },
            [&] { s.removeGroup(); },
            [&] { s.moveGroupUp(); },
            [&] { s.moveGroupDown(); },
            [&] { s.undo(); },
            [&] { s.redo(); },
            [&] {
                if (s.document().groupCount() > 0) {
                    s.select(pick(s.document().groupCount()));
                }
            },
            [&] {
                if (s.document().groupCount() > 0) {
                    s.renameGroup(pick(s.document().groupCount()), "G" + std::to_string(pick(9)));
                }
            },
            [&] {
                if (s.document().groupCount() > 0) {
                    s.setActivity(pick(s.document().groupCount()), static_cast<double>(pick(101)));
                }
            },
            [&] {
                if (s.document().groupCount() > 0) {
                    const ControlId boxes[] = {ControlId::txtCameraCount, ControlId::txtDays,
                                               ControlId::txtFrameSize};
                    s.editForm(pick(s.document().groupCount()),
                               typing(boxes[pick(3)], std::to_string(pick(40))));
                }
            },
            [&] {
                if (s.document().groupCount() > 0) {
                    const ControlId options[] = {ControlId::optStream0, ControlId::optStream2,
                                                 ControlId::optResolution1,
                                                 ControlId::optResolution5};
                    s.editForm(pick(s.document().groupCount()),
                               {FormAction::Kind::Select, options[pick(4)], -1, {}});
                }
            },
            [&] {
                if (s.document().groupCount() > 0) {
                    s.editForm(pick(s.document().groupCount()),
                               {FormAction::Kind::Pick,
                                ControlId::cmbFPS,
                                static_cast<std::int16_t>(pick(30)),
                                {}});
                }
            },
            [&] {
                if (s.document().groupCount() > 0) {
                    const std::size_t g = pick(s.document().groupCount());
                    CameraInputs in = cameraOf(s, g);
                    const CameraField fields[] = {CameraField::View, CameraField::Distance,
                                                  CameraField::Pixels};
                    in.view = pick(2) == 1;
                    in.target.distance = 1 + static_cast<double>(pick(50));
                    in.pixels = 640 + static_cast<double>(pick(3000));
                    s.editCamera(g, fields[pick(3)], in);
                }
            },
            [&] {
                PlanInputs in = planOf(s);
                const PlanField fields[] = {PlanField::Storage, PlanField::Spares,
                                            PlanField::Drives, PlanField::Raid};
                in.storage = pick(4) != 0;
                in.spares = static_cast<double>(pick(3));
                in.drives = static_cast<double>(pick(20));
                const RaidLevel levels[] = {RaidLevel::Raid0, RaidLevel::Raid5, RaidLevel::Raid6};
                in.raid = levels[pick(3)];
                s.editPlan(fields[pick(4)], in);
            },
            [&] { s.renameProject(pick(2) == 0 ? "" : "Site " + std::to_string(pick(5))); },
            [&] {
                if (!s.document().site() || pick(8) == 0) {
                    s.document().site() ? s.removeSite() : s.startSite(40, 30);
                }
            },
            [&] {
                const double x = static_cast<double>(pick(40));
                const double y = static_cast<double>(pick(30));
                s.addWall({{x, y}, {static_cast<double>(pick(40)), static_cast<double>(pick(30))}});
            },
            [&] {
                const double x = static_cast<double>(pick(30));
                const double y = static_cast<double>(pick(20));
                s.addZone({"Z",
                           static_cast<ViewLevel>(pick(6)),
                           {{x, y}, {x + 5, y}, {x + 5, y + 7}, {x, y + 7}},
                           static_cast<double>(1 + pick(100))});
            },
            [&] {
                if (!s.document().site()) {
                    s.startSite(40, 30);
                }
                // A group with a camera view where there is one: the others are refused.
                std::vector<std::size_t> viewed;
                for (std::size_t g = 0; g < s.document().groupCount(); ++g) {
                    if (s.document().group(g).camera.view || pick(4) == 0) {
                        viewed.push_back(g);
                    }
                }
                for (int n = 0; n < 3 && !viewed.empty(); ++n) {
                    s.placeCamera(viewed[pick(viewed.size())],
                                  {static_cast<double>(pick(21)), static_cast<double>(pick(21))},
                                  static_cast<double>(pick(720)) - 180);
                }
            },
            [&] {
                for (std::size_t g = 0; g < s.document().groupCount(); ++g) {
                    if (!s.document().group(g).placements.empty()) {
                        Placement p = s.document().group(g).placements[0];
                        p.x = static_cast<double>(pick(41));
                        p.heading += 7.5;
                        s.editPlacement(g, 0, PlacementField::Position, p);
                        break;
                    }
                }
            },
            [&] {
                if (s.document().site() && !s.document().site()->zones.empty()) {
                    pick(2) == 0 ? s.removeZone(0)
                                 : s.scaleSiteToWidth(20 + static_cast<double>(pick(40)));
                }
            },
            [&] {
                const SiteOutline kind = pick(2) == 0 ? SiteOutline::Wall : SiteOutline::Zone;
                const std::size_t point = pick(5);
                switch (pick(4)) {
                case 0:
                    s.removePoint(kind, 0, point);
                    break;
                case 1:
                    s.setPointsText(kind, 0, "1 1; 9 1; " + std::to_string(pick(40)) + " 8");
                    break;
                case 2:
                    s.closeStep();
                    [[fallthrough]];
                default:
                    s.movePoint(kind, 0, point,
                                {static_cast<double>(pick(45)), static_cast<double>(pick(35))});
                }
            },
        };
        std::size_t placed = 0; // the most cameras on the plan at once, so the site is tried
        for (int step = 0; step < 200; ++step) {
            edits[pick(edits.size())]();
            if (const auto& site = s.document().siteResult()) {
                placed = std::max(placed, site->placements.size());
            }
            ASSERT_TRUE(mirror.matches()) << name << " step " << step;
            const std::string now = fileText(s);
            const ProjectParse saved = ParseProject(now);
            ASSERT_TRUE(saved.project) << saved.error;
            ASSERT_EQ(jsonOf(s.document().result()), jsonOf(ComputeProject(*saved.project)))
                << name << " step " << step;
            std::size_t undone = 0;
            while (s.undoText()) {
                s.undo();
                ++undone;
            }
            ASSERT_EQ(fileText(s), opened) << name << " step " << step;
            ASSERT_FALSE(s.isModified());
            for (; undone > 0; --undone) {
                s.redo();
            }
            ASSERT_EQ(fileText(s), now) << name << " step " << step;
            ASSERT_TRUE(mirror.matches()) << name << " step " << step;
        }
        EXPECT_GE(placed, 2U);
        s.setListener(nullptr);
    }
}

} // namespace
} // namespace lenstally
