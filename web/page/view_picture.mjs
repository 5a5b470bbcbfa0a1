// SPDX-License-Identifier: MIT
// A camera view's picture as SVG, drawn from what the core worked out for it (the planner's
// "picture" answers): seen from above, a cone from the camera at the left with a coloured band
// per level as far as it holds, the target marked and its level named, a scale in metres, and a
// key of the levels below. Every distance, colour and text is the core's; this only scales its
// metres to the picture's width.

const SVG = "http://www.w3.org/2000/svg";
const MARGIN = 8;
const LINE = 14; // the height of a line of the picture's text
const CAMERA = 14; // the camera's mark, left of the cone's tip

function shape(tag, attributes, text) {
    const made = document.createElementNS(SVG, tag);
    for (const [name, value] of Object.entries(attributes)) {
        made.setAttribute(name, String(value));
    }
    if (text !== undefined) {
        made.textContent = text;
    }
    return made;
}

let pictures = 0;

// The picture `width` x `height` (the cone and its scale; the key goes below) as an element
// that reads out as one image with the core's description.
export function viewPicture(picture, width, height) {
    const box = document.createElement("div");
    box.className = "view-picture";
    box.setAttribute("role", "img");
    box.setAttribute("aria-label", "Camera view picture");
    box.setAttribute("aria-description", picture.description);
    const ink = picture.ink;
    const drawing = shape("svg", { viewBox: `0 0 ${width} ${height}`, "aria-hidden": "true" });
    drawing.style.fontSize = `${LINE - 3}px`;

    const cone = { left: MARGIN, top: LINE + 2 * MARGIN, right: width - MARGIN };
    cone.bottom = height - LINE - 2 * MARGIN;
    const cameraX = cone.left + CAMERA;
    const axis = (cone.top + cone.bottom) / 2;
    const perMetre = (cone.right - cameraX) / picture.range;
    const half = (metres) => metres * picture.spread * perMetre;
    const wedge = (metres, attributes) => {
        const x = cameraX + metres * perMetre;
        const points = `${cameraX},${axis} ${x},${axis - half(metres)} ${x},${axis + half(metres)}`;
        return shape("polygon", { points, ...attributes });
    };

    // The cone, cut to its area: the ground, then each band over the farther ones.
    const clip = `view-clip-${++pictures}`;
    const defs = shape("defs", {});
    const clipPath = shape("clipPath", { id: clip });
    clipPath.append(shape("rect", { x: cone.left, y: cone.top, width: cone.right - cone.left,
                                    height: cone.bottom - cone.top }));
    defs.append(clipPath);
    const inside = shape("g", { "clip-path": `url(#${clip})` });
    inside.append(wedge(picture.range, { fill: picture.ground }));
    for (const band of picture.bands) {
        inside.append(wedge(band.reach, { fill: band.colour }));
    }
    inside.append(wedge(picture.range, { fill: "none", stroke: ink, "stroke-width": 1 }));
    const targetX = cameraX + picture.target * perMetre;
    const targetHalf = Math.min(half(picture.target), cone.bottom - cone.top);
    inside.append(
        shape("line", { x1: targetX, y1: axis - targetHalf, x2: targetX, y2: axis + targetHalf,
                        stroke: ink, "stroke-width": 2, "stroke-dasharray": "6 4" }),
        shape("circle", { cx: targetX, cy: axis, r: 4, fill: ink }),
    );
    drawing.append(defs, inside);

    // The camera, and the target's name above the cone, kept inside the picture.
    drawing.append(
        shape("rect", { x: cameraX - CAMERA, y: axis - 6, width: 12, height: 12, fill: ink }),
        shape("polygon", { points: `${cameraX - 3},${axis - 4} ${cameraX},${axis} ${cameraX - 3},${axis + 4}`,
                           fill: ink }),
    );
    const anchor = targetX < width * 0.3 ? "start" : targetX > width * 0.7 ? "end" : "middle";
    const labelX = anchor === "start" ? Math.max(MARGIN, targetX - 20)
        : anchor === "end" ? Math.min(width - MARGIN, targetX + 20) : targetX;
    drawing.append(shape("text", { x: labelX, y: MARGIN + LINE - 3, "text-anchor": anchor,
                                   "font-weight": "bold", fill: ink }, picture.targetLabel));

    // The scale: the camera at 0, the picture's far edge at the core's range.
    const scaleY = cone.bottom + MARGIN;
    drawing.append(shape("line", { x1: cameraX, y1: scaleY, x2: cone.right, y2: scaleY, stroke: ink }));
    for (const x of [cameraX, targetX, cone.right]) {
        drawing.append(shape("line", { x1: x, y1: scaleY - 3, x2: x, y2: scaleY + 3, stroke: ink }));
    }
    drawing.append(
        shape("text", { x: cameraX, y: scaleY + LINE, fill: ink }, "0 m"),
        shape("text", { x: cone.right, y: scaleY + LINE, "text-anchor": "end", fill: ink },
              picture.rangeLabel),
    );

    const key = document.createElement("ul");
    key.className = "view-key";
    for (const entry of picture.key) {
        const item = document.createElement("li");
        const swatch = shape("svg", { viewBox: "0 0 10 10", class: "swatch" });
        swatch.append(shape("rect", { x: 0.5, y: 0.5, width: 9, height: 9, fill: entry.colour, stroke: ink }));
        item.append(swatch, entry.text);
        key.append(item);
    }
    box.append(drawing, key);
    return box;
}
