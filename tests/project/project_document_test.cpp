// SPDX-License-Identifier: MIT
#include <fstream>
#include <gtest/gtest.h>
#include <sstream>

#include "project/project_document.hpp"
#include "project/project_reports.hpp"
#include "project/project_writer.hpp"

namespace lenstally {
namespace {

std::string readFile(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

std::string jsonReport(const ProjectResult& result) {
    std::ostringstream out;
    WriteProjectJson(result, out);
    return out.str();
}

// What the command line reports for the file a document saves.
std::string reportOfSavedFile(const ProjectDocument& document) {
    const ProjectParse reread = ParseProject(ProjectFileText(document.toProject()));
    EXPECT_TRUE(reread.project) << reread.error;
    return reread.project ? jsonReport(ComputeProject(*reread.project)) : std::string();
}

TEST(ProjectDocument, saves_each_example_so_that_it_reads_back_to_the_same_figures) {
    for (const char* name : {"shop.json", "warehouse.json", "distribution-centre.json"}) {
        const ProjectParse parsed =
            ParseProject(readFile(std::string(LENSTALLY_SOURCE_DIR) + "/examples/" + name));
        ASSERT_TRUE(parsed.project) << parsed.error;
        const ProjectDocument document(*parsed.project);
        const std::string original = jsonReport(ComputeProject(*parsed.project));
        EXPECT_EQ(jsonReport(document.result()), original) << name;
        EXPECT_EQ(reportOfSavedFile(document), original) << name;
    }
}

// Each edit the planner makes keeps the document's figures equal to those of the file it saves:
// the group edited, the totals and the plan.
TEST(ProjectDocument, edits_keep_the_figures_equal_to_the_saved_file) {
    const ProjectParse parsed = ParseProject(
        readFile(std::string(LENSTALLY_SOURCE_DIR) + "/examples/distribution-centre.json"));
    ASSERT_TRUE(parsed.project) << parsed.error;
    ProjectDocument document(*parsed.project);
    const std::vector<std::pair<const char*, std::function<void()>>> edits{
        {"camera view at the resolution's width",
         [&] {
             document.setCamera(1, {"Bullet \"4K\"", std::nullopt,
                                    GroupView{20, {LensForm::Focal, 0, 2.8, 5.37}}});
         }},
        {"resolution",
         [&] {
             document.form(1).selectOption(ControlId::optResolution3);
             document.refresh(1);
         }},
        {"typed cameras",
         [&] {
             document.form(0).setText(ControlId::txtCameraCount, "1e3");
             document.refresh(0);
         }},
        {"activity",
         [&] {
             document.setActivity(2, 12.5);
         }},
        {"new group",
         [&] {
             document.insertGroup(1, document.newGroup("New \"group\""));
         }},
        {"move",
         [&] {
             document.moveGroup(0, 3);
         }},
        {"remove",
         [&] {
             document.takeGroup(2);
         }},
        {"restore a form",
         [&] {
             Form1 earlier = document.form(0);
             document.form(0).setListIndex(ControlId::cmbFPS, 3);
             document.replaceForm(0, earlier);
         }},
        {"plan",
         [&] {
             StorageSection storage = *document.storage();
             storage.layout.raid = RaidLevel::Raid10;
             storage.drives = 8;
             document.setStorage(storage);
             document.setRecorder(RecorderLimits{16, {}, {}});
         }},
        {"no plan",
         [&] {
             document.setStorage(std::nullopt);
             document.setRecorder(std::nullopt);
         }},
    };
    for (const auto& [what, edit] : edits) {
        edit();
        EXPECT_EQ(jsonReport(document.result()), reportOfSavedFile(document)) << "after " << what;
    }
}

} // namespace
} // namespace lenstally
