// SPDX-License-Identifier: MIT
#include "project/plan_settings.hpp"

#include "project/plan_lines.hpp"

namespace lenstally {

StorageSection StartingStorage() {
    StorageSection s;
    s.drive = {8, SizeUnit::TB};
    s.layout.driveKB = SizeInKilobytes(s.drive.number, s.drive.unit);
    return s;
}

SettledPlan SettlePlan(PlanSettings settings) {
    std::string note;
    if (settings.storage) {
        StorageSection& s = *settings.storage;
        s.layout.driveKB = SizeInKilobytes(s.drive.number, s.drive.unit);
        const std::int64_t fewest = MinimumActiveDrives(s.layout.raid);
        if (s.layout.arrayWidth > 0 && s.layout.arrayWidth < fewest) {
            note = RaidName(s.layout.raid) + " needs at least " + std::to_string(fewest) +
                   " drives per array; the arrays hold up to " + std::to_string(fewest) + " now. ";
            s.layout.arrayWidth = fewest;
        }
        // Installed drives must make a valid set; the next valid count stands in for one that
        // does not, as a project file could not hold it.
        if (s.drives && !InstalledCapacityKB(s.layout, *s.drives)) {
            const std::optional<std::int64_t> valid = NextValidDrives(s.layout, *s.drives);
            note += std::to_string(*s.drives) + " drives are not a valid " +
                    RaidName(s.layout.raid) + " set with " + std::to_string(s.layout.spares) +
                    " spare(s); ";
            note += valid ? "drives installed is now " + std::to_string(*valid) + "."
                          : std::string("drives installed is cleared.");
            s.drives = valid;
        }
    } else if (settings.recorder) {
        settings.recorder->bays.reset();
    }
    if (!note.empty() && note.back() == ' ') {
        note.pop_back();
    }
    return {settings, std::move(note)};
}

} // namespace lenstally
