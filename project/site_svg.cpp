// SPDX-License-Identifier: MIT
#include "project/site_svg.hpp"

#include "estimation/numeric_text.hpp"

#include <algorithm>
#include <cmath>

#include "form/run.hpp"
#include "project/site_drawing.hpp"

namespace lenstally {
namespace {

// The plan's longer side in pixels, the margin around everything, and the key's layout.
constexpr double kPlanPixels = 960;
constexpr double kMargin = 16;
constexpr double kKeyEntry = 160; // the width of one entry of the key
constexpr double kLine = 20;      // the height of a row of the key
constexpr double kNarrowest = 2 * kKeyEntry;
constexpr std::string_view kReplacement = "\xEF\xBF\xBD";

// `text` as XML character data or an attribute value: the five special characters as entities,
// and a byte that is not valid UTF-8 or a character XML 1.0 does not allow (a control character
// other than tab, line feed and carriage return, U+FFFE, U+FFFF) as U+FFFD.
void appendEscaped(std::string& out, std::string_view text) {
    for (std::size_t i = 0; i < text.size();) {
        const std::size_t length = Utf8SequenceLength(text.substr(i));
        const std::string_view c = text.substr(i, std::max<std::size_t>(length, 1));
        i += c.size();
        const auto byte = static_cast<unsigned char>(c.front());
        if (length == 0 || (byte < 0x20 && c != "\t" && c != "\n" && c != "\r") ||
            c == "\xEF\xBF\xBE" || c == "\xEF\xBF\xBF") {
            out += kReplacement;
        } else if (c == "&") {
            out += "&amp;";
        } else if (c == "<") {
            out += "&lt;";
        } else if (c == ">") {
            out += "&gt;";
        } else if (c == "\"") {
            out += "&quot;";
        } else if (c == "'") {
            out += "&apos;";
        } else {
            out += c;
        }
    }
}

std::string colour(std::uint32_t rgb) {
    static constexpr char kHex[] = "0123456789abcdef";
    std::string text = "#";
    for (int shift = 20; shift >= 0; shift -= 4) {
        text.push_back(kHex[(rgb >> static_cast<unsigned>(shift)) & 0xfU]);
    }
    return text;
}

std::string number(double value) {
    return FixedText(value, 2);
}

// Writes the document, metres scaled to pixels with the plan's top left corner at the margin.
class SvgWriter {
public:
    explicit SvgWriter(const SiteDrawing& d)
        : m_d(d), m_scale(kPlanPixels / std::max(d.width, d.height)) {}

    std::string write();
    /// One camera's element of the "views" group, alone.
    std::string view(const SiteDrawing::Camera& camera);

private:
    // A coordinate on the plan in pixels, the same rule across and down.
    std::string px(double metres) const { return number(kMargin + metres * m_scale); }

    // The points as "x,y x,y ...", a point written as the one before it left out.
    std::string points(const std::vector<site::Point>& ring) const {
        std::string text;
        std::string last;
        for (const site::Point& p : ring) {
            std::string point = px(p.x) + "," + px(p.y);
            if (point != last) {
                text += (text.empty() ? "" : " ") + point;
                last = std::move(point);
            }
        }
        return text;
    }

    void text(std::string_view t) { appendEscaped(m_out, t); }
    // <text x="x" y="y" fill="fill">t</text>
    void textAt(const std::string& x, const std::string& y, const std::string& fill,
                std::string_view t) {
        open("text");
        attribute("x", x);
        attribute("y", y);
        attribute("fill", fill);
        m_out += ">";
        text(t);
        m_out += "</text>";
    }
    void open(std::string_view element) {
        m_out += '<';
        m_out += element;
    }
    void attribute(std::string_view name, std::string_view value) {
        m_out += ' ';
        m_out += name;
        m_out += "=\"";
        appendEscaped(m_out, value);
        m_out += '"';
    }

    void writeGround(double planWidth, double planHeight);
    void writeZones();
    void writeViews();
    void writeView(const SiteDrawing::Camera& camera);
    void writeWalls();
    void writePlacements();
    void writeLabels();
    void writeScaleAndKey(double top, std::size_t perRow);

    const SiteDrawing& m_d;
    double m_scale;
    std::string m_out;
};

std::string SvgWriter::write() {
    const double planWidth = m_d.width * m_scale;
    const double planHeight = m_d.height * m_scale;
    const double width = std::max(planWidth, kNarrowest) + 2 * kMargin;
    const auto perRow = static_cast<std::size_t>((width - 2 * kMargin) / kKeyEntry);
    const std::size_t rows = (m_d.key.size() + perRow - 1) / perRow; // whole rows of the key
    const auto keyRows = static_cast<double>(rows);
    const double keyTop = kMargin + planHeight + kMargin;
    const double height = keyTop + 2 * kLine + keyRows * kLine + kMargin;

    m_out = "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n";
    open("svg");
    attribute("xmlns", "http://www.w3.org/2000/svg");
    attribute("xmlns:xlink", "http://www.w3.org/1999/xlink");
    attribute("version", "1.1");
    attribute("width", number(width));
    attribute("height", number(height));
    attribute("viewBox", "0 0 " + number(width) + " " + number(height));
    attribute("font-family", "Liberation Sans, Arial, Helvetica, sans-serif");
    attribute("font-size", "12");
    m_out += ">\n<title>Site plan</title>\n<desc>";
    text(m_d.description);
    m_out += "</desc>\n";
    writeGround(planWidth, planHeight);
    writeZones();
    writeViews();
    writeWalls();
    writePlacements();
    writeLabels();
    writeScaleAndKey(keyTop, perRow);
    m_out += "</svg>\n";
    return std::move(m_out);
}

void SvgWriter::writeGround(double planWidth, double planHeight) {
    open("rect");
    attribute("width", "100%");
    attribute("height", "100%");
    attribute("fill", "#ffffff");
    m_out += "/>\n";
    if (m_d.image) {
        // The drawing the user gave, as an image of its own: a viewer shows it and never runs it.
        open("image");
        attribute("id", "image");
        attribute("x", px(0));
        attribute("y", px(0));
        attribute("width", number(planWidth));
        attribute("height", number(planHeight));
        attribute("preserveAspectRatio", "none");
        attribute("href", *m_d.image);
        attribute("xlink:href", *m_d.image);
        m_out += "/>\n";
    } else if (m_d.grid > 0) {
        std::string path;
        // The lines inside the plan; its edges are drawn as its outline.
        const auto lines = [this](double length) {
            return static_cast<int>(std::ceil(length / m_d.grid)) - 1;
        };
        for (int i = 1; i <= lines(m_d.width); ++i) {
            path += "M" + px(i * m_d.grid) + "," + px(0) + "V" + px(m_d.height);
        }
        for (int i = 1; i <= lines(m_d.height); ++i) {
            path += "M" + px(0) + "," + px(i * m_d.grid) + "H" + px(m_d.width);
        }
        open("path");
        attribute("id", "grid");
        attribute("d", path);
        attribute("fill", "none");
        attribute("stroke", colour(m_d.gridColour));
        attribute("stroke-width", "1");
        m_out += "/>\n";
    }
    open("rect");
    attribute("id", "plan");
    attribute("x", px(0));
    attribute("y", px(0));
    attribute("width", number(planWidth));
    attribute("height", number(planHeight));
    attribute("fill", "none");
    attribute("stroke", colour(m_d.ink));
    attribute("stroke-width", "1");
    m_out += "/>\n";
}

void SvgWriter::writeZones() {
    m_out += "<g id=\"zones\">\n";
    for (const SiteDrawing::Zone& zone : m_d.zones) {
        open("polygon");
        attribute("points", points(zone.points));
        attribute("fill", colour(zone.fill));
        attribute("fill-opacity", number(m_d.zoneOpacity));
        attribute("stroke", colour(zone.outline));
        attribute("stroke-width", "2");
        if (!zone.met) {
            attribute("stroke-dasharray", "6,3");
        }
        m_out += "/>\n";
    }
    m_out += "</g>\n";
}

void SvgWriter::writeViews() {
    m_out += "<g id=\"views\">\n";
    for (const SiteDrawing::Camera& camera : m_d.cameras) {
        writeView(camera);
    }
    m_out += "</g>\n";
}

std::string SvgWriter::view(const SiteDrawing::Camera& camera) {
    writeView(camera);
    return std::move(m_out);
}

void SvgWriter::writeView(const SiteDrawing::Camera& camera) {
    open("g");
    attribute("class", "view");
    m_out += ">\n";
    // Each level's band: its ring with the next level's as a hole, so that the translucent bands
    // never lie over one another.
    for (std::size_t i = 0; i < camera.bands.size(); ++i) {
        const SiteDrawing::Band& band = camera.bands[i];
        if (band.ring.empty()) {
            continue;
        }
        std::string d = "M" + points(band.ring) + "Z";
        if (i + 1 < camera.bands.size() && !camera.bands[i + 1].ring.empty()) {
            d += "M" + points(camera.bands[i + 1].ring) + "Z";
        }
        open("path");
        attribute("d", d);
        attribute("fill", colour(band.colour));
        attribute("fill-opacity", number(m_d.viewOpacity));
        attribute("fill-rule", "evenodd");
        m_out += "/>\n";
    }
    m_out += "</g>\n";
}

void SvgWriter::writeWalls() {
    m_out += R"(<g id="walls" fill="none" stroke=")" + colour(m_d.ink) +
             R"(" stroke-width="3" stroke-linecap="round" stroke-linejoin="round">)" + "\n";
    for (const std::vector<site::Point>& wall : m_d.walls) {
        open("polyline");
        attribute("points", points(wall));
        m_out += "/>\n";
    }
    m_out += "</g>\n";
}

void SvgWriter::writePlacements() {
    const std::string ink = colour(m_d.ink);
    m_out += "<g id=\"placements\">\n";
    for (const SiteDrawing::Camera& camera : m_d.cameras) {
        const double cx = kMargin + camera.at.x * m_scale;
        const double cy = kMargin + camera.at.y * m_scale;
        open("g");
        attribute("class", "placement");
        m_out += ">";
        open("line");
        attribute("x1", number(cx));
        attribute("y1", number(cy));
        attribute("x2", number(cx + 16 * camera.aim.x));
        attribute("y2", number(cy + 16 * camera.aim.y));
        attribute("stroke", ink);
        attribute("stroke-width", "2");
        m_out += "/>";
        open("circle");
        attribute("cx", number(cx));
        attribute("cy", number(cy));
        attribute("r", "4");
        attribute("fill", ink);
        attribute("stroke", "#ffffff");
        attribute("stroke-width", "1");
        m_out += "/>";
        textAt(number(cx + 7), number(cy - 7), ink, camera.label);
        m_out += "</g>\n";
    }
    m_out += "</g>\n";
}

void SvgWriter::writeLabels() {
    m_out += "<g id=\"labels\" text-anchor=\"middle\" font-weight=\"bold\">\n";
    for (const SiteDrawing::Zone& zone : m_d.zones) {
        textAt(px(zone.labelAt.x), px(zone.labelAt.y), colour(zone.outline), zone.label);
        m_out += "\n";
    }
    m_out += "</g>\n";
}

void SvgWriter::writeScaleAndKey(double top, std::size_t perRow) {
    const std::string ink = colour(m_d.ink);
    const double bar = m_d.scaleLength * m_scale;
    const double base = top + kLine;
    m_out += "<g id=\"scale\">";
    open("path");
    attribute("d", "M" + number(kMargin) + "," + number(base - 6) + "V" + number(base) + "H" +
                       number(kMargin + bar) + "V" + number(base - 6));
    attribute("fill", "none");
    attribute("stroke", ink);
    attribute("stroke-width", "2");
    m_out += "/>";
    textAt(number(kMargin + bar + 6), number(base), ink, m_d.scaleText);
    m_out += "</g>\n<g id=\"key\">\n";
    for (std::size_t i = 0; i < m_d.key.size(); ++i) {
        const double left = kMargin + static_cast<double>(i % perRow) * kKeyEntry;
        const std::size_t keyRow = i / perRow; // the key's rows are whole
        const double row = base + kLine + static_cast<double>(keyRow) * kLine;
        open("rect");
        attribute("x", number(left));
        attribute("y", number(row - 10));
        attribute("width", "16");
        attribute("height", "12");
        attribute("fill", colour(m_d.key[i].colour));
        attribute("fill-opacity", number(m_d.key[i].opacity));
        attribute("stroke", ink);
        attribute("stroke-width", "1");
        m_out += "/>";
        textAt(number(left + 22), number(row), ink, m_d.key[i].text);
        m_out += "\n";
    }
    m_out += "</g>\n";
}

} // namespace

std::string SiteSvg(const SiteResult& site) {
    const SiteDrawing drawing = DrawingOf(site);
    return SvgWriter(drawing).write();
}

std::string SiteViewSvg(const SiteResult& site, std::size_t placement) {
    SiteDrawing drawing;
    drawing.width = site.site.width;
    drawing.height = site.site.height;
    drawing.viewOpacity = kViewOpacity;
    return SvgWriter(drawing).view(CameraDrawingOf(site.placements[placement], site.site));
}

SiteSvgFrame SiteSvgFrameOf(const SiteSection& site) {
    return {kMargin, kPlanPixels / std::max(site.width, site.height)};
}

} // namespace lenstally
