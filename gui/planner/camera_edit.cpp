// SPDX-License-Identifier: MIT
#include "gui/planner/camera_edit.hpp"

namespace lenstally {
namespace {

// The id of camera edits, apart from those of the other planner commands (planner_commands.cpp).
constexpr int kCameraEdit = 100;

class EditCameraCommand final : public QUndoCommand {
public:
    EditCameraCommand(PlannerEditor& editor, std::size_t group, CameraField field,
                      CameraDetails camera)
        : QUndoCommand(QStringLiteral("Edit camera view")), m_editor(editor), m_group(group),
          m_field(field), m_camera(std::move(camera)),
          m_old(editor.document().group(group).camera) {}

    int id() const override { return kCameraEdit; }
    bool mergeWith(const QUndoCommand* other) override {
        const auto* edit = static_cast<const EditCameraCommand*>(other);
        if (edit->m_group != m_group || edit->m_field != m_field) {
            return false;
        }
        m_camera = edit->m_camera;
        return true;
    }
    void redo() override { set(m_camera); }
    void undo() override { set(m_old); }

private:
    void set(const CameraDetails& camera) {
        m_editor.document().setCamera(m_group, camera);
        m_editor.groupChanged(m_group);
    }

    PlannerEditor& m_editor;
    std::size_t m_group;
    CameraField m_field;
    CameraDetails m_camera;
    CameraDetails m_old;
};

} // namespace

QUndoCommand* EditCamera(PlannerEditor& editor, std::size_t group, CameraField field,
                         CameraDetails camera) {
    return new EditCameraCommand(editor, group, field, std::move(camera));
}

} // namespace lenstally
