// SPDX-License-Identifier: MIT
#pragma once
// What one camera sees at a target: the width of the scene its lens takes in, the pixels that
// width gets per metre, and the viewing levels that density meets, as pure functions of plain
// numbers. Like the estimates, every figure is computed in doubles one operation at a time in a
// fixed order, so it is the same to the last bit wherever it is computed; tan and atan are the
// core's own (estimation/portable_math.hpp), not the C library's, for the same reason. Distances
// and scene widths are in metres, focal lengths and sensor widths in millimetres, angles in
// degrees.

#include <array>
#include <optional>
#include <string>
#include <string_view>

namespace lenstally {

/// How a lens is given: by its horizontal angle of view, or by its focal length on a sensor width.
enum class LensForm { Angle, Focal };

struct Lens {
    LensForm form = LensForm::Angle;
    double hfov = 0;   // Angle: the horizontal angle of view in degrees, above 0 and below 180
    double focal = 0;  // Focal: the focal length in mm, above 0
    double sensor = 0; // Focal: the sensor's width in mm, above 0

    friend bool operator==(const Lens&, const Lens&) = default;
};

/// The scene width per metre of distance, k: 2.0 * tan(hfov * pi / 360.0) for an angle, sensor /
/// focal for a focal length. Example: 3.6 mm on a 3.6 mm sensor is 1 m across per metre.
double WidthPerMetre(const Lens& lens);

/// The horizontal angle of view in degrees: the angle itself, or atan(sensor / (2.0 * focal)) *
/// 360.0 / pi for a focal length. Example: 2.8 mm on a 5.37 mm sensor is about 87.6 degrees.
double AngleOfView(const Lens& lens);

/// The width of the scene at `distance` metres for a lens of `widthPerMetre`: distance * k.
double SceneWidth(double distance, double widthPerMetre);

/// Pixels per metre of scene width: pixels / sceneWidth.
double PixelDensity(double pixels, double sceneWidth);

/// The viewing levels, from the least to the most demanding.
enum class ViewLevel { Monitor, Detect, Observe, Recognise, Identify, Inspect };

struct ViewLevelInfo {
    ViewLevel level;
    std::string_view name; // "Monitor", "Detect", "Observe", "Recognise", "Identify", "Inspect"
    double ppm;            // the pixels per metre the level needs: 12.5, 25, 62.5, 125, 250, 1000
};

inline constexpr std::size_t kViewLevelCount = 6;

/// Every level in order, from Monitor to Inspect.
inline constexpr std::array<ViewLevelInfo, kViewLevelCount> kViewLevels{{
    {ViewLevel::Monitor, "Monitor", 12.5},
    {ViewLevel::Detect, "Detect", 25},
    {ViewLevel::Observe, "Observe", 62.5},
    {ViewLevel::Recognise, "Recognise", 125},
    {ViewLevel::Identify, "Identify", 250},
    {ViewLevel::Inspect, "Inspect", 1000},
}};

/// The entry of kViewLevels for `level`.
const ViewLevelInfo& ViewLevelOf(ViewLevel level);

/// The highest level whose density is at most `ppm`; nullopt below 12.5 (and for NaN).
/// Example: LevelMet(62.5) == ViewLevel::Observe, LevelMet(62.49) == ViewLevel::Detect.
std::optional<ViewLevel> LevelMet(double ppm);

/// The farthest distance in metres at which `pixels` across a lens of `widthPerMetre` still give
/// `levelPpm`: pixels / (levelPpm * k).
double FarthestDistance(double pixels, double levelPpm, double widthPerMetre);

/// The focal length in mm that gives `levelPpm` at `distance` on a sensor `sensor` mm wide:
/// levelPpm * distance * sensor / pixels, left to right.
double FocalForLevel(double levelPpm, double distance, double sensor, double pixels);

/// The widest angle of view in degrees that gives `levelPpm` at `distance`:
/// atan(pixels / (2.0 * levelPpm * distance)) * 360.0 / pi.
double AngleForLevel(double pixels, double levelPpm, double distance);

/// The default picture width in pixels of a resolution (0 = QCIF ... 6 = 3 Megapixel): 176, 352,
/// 704, 704, 1280, 1600, 2048. No resolution, or one outside 0..6, is QCIF's 176.
int DefaultPixelWidth(std::optional<int> resolution);

/// How far one level reaches with this camera, and the lens that meets it at the target.
struct LevelReach {
    ViewLevel level = ViewLevel::Monitor;
    double ppm = 0;      // the level's density
    double distance = 0; // FarthestDistance: the farthest target this camera shows at the level
    double lens = 0; // FocalForLevel (mm) for a focal length, AngleForLevel (degrees) for an angle
};

/// Every figure of one camera's view of its target.
struct ViewFigures {
    LensForm form = LensForm::Angle;
    double distance = 0;            // metres to the target
    double pixels = 0;              // the picture's width in pixels
    double widthPerMetre = 0;       // k
    double hfov = 0;                // AngleOfView
    double sceneWidth = 0;          // metres across at the target
    double ppm = 0;                 // pixels per metre at the target
    std::optional<ViewLevel> level; // the level met at the target; nullopt below Monitor
    std::array<LevelReach, kViewLevelCount> levels{}; // in the order of kViewLevels
};

/// Works out every figure of a view, each by the function above that names it.
/// Example: 1920 pixels through a 90 degree lens at 10 m give 96.0 px/m, Observe, and reach
/// Observe up to 15.36 m.
ViewFigures ComputeView(double distance, double pixels, const Lens& lens);

/// A pixel density as printf("%.1f") writes it, then " px/m": "96.0 px/m".
std::string DensityText(double ppm);
/// An angle as printf("%.1f") writes it, then the degree sign: "87.6°".
std::string AngleText(double degrees);
/// A focal length or sensor width as printf("%.1f") writes it, then " mm": "2.8 mm".
std::string MillimetresText(double millimetres);
/// A distance or width as printf("%.2f") writes it, then " m": "15.36 m".
std::string MetresText(double metres);

} // namespace lenstally
