// SPDX-License-Identifier: MIT
// The Qt window against its model: every widget mirrors its control, and every user action on a
// widget performs the same model operation the command line performs for it.

#include <functional>
#include <string>
#include <vector>

#include <QAccessible>
#include <QComboBox>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QRadioButton>
#include <QTest>

#include "gui/calculator/form1_view.hpp"
#include "gui/calculator/frame_box.hpp"

using lenstally::ControlDescriptions;
using lenstally::ControlId;
using lenstally::ControlKind;
using lenstally::Describe;
using lenstally::Form1;
using lenstally::Form1View;
using lenstally::toQString;
using lenstally::twipsToPixels;

namespace {

template <class W> W* as(const Form1View& view, ControlId id) {
    auto* w = qobject_cast<W*>(view.widget(id));
    if (w == nullptr) {
        qFatal("%s is not the expected kind of widget", Describe(id).name.data());
    }
    return w;
}

QRect modelRect(const lenstally::Control& c) {
    return {twipsToPixels(c.left), twipsToPixels(c.top), twipsToPixels(c.width),
            twipsToPixels(c.height)};
}

// The first way in which a widget differs from its model control, or an empty string.
QString firstMismatch(const Form1View& view) {
    for (const auto& d : ControlDescriptions()) {
        if (d.kind == ControlKind::Form) {
            continue;
        }
        const lenstally::Control& c = view.model().control(d.id);
        QWidget* w = view.widget(d.id);
        const QString name = toQString(d.name);
        if (w->geometry() != modelRect(c)) {
            return name + QStringLiteral(": geometry %1,%2 %3x%4, model %5,%6")
                              .arg(w->x())
                              .arg(w->y())
                              .arg(w->width())
                              .arg(w->height())
                              .arg(modelRect(c).x())
                              .arg(modelRect(c).y());
        }
        if (w->isHidden() == c.visible) {
            return name + QStringLiteral(": visibility differs from the model");
        }
        const QString text = toQString(c.text);
        switch (d.kind) {
        case ControlKind::Label:
            if (as<QLabel>(view, d.id)->text() != text) {
                return name + QStringLiteral(": caption \"%1\", model \"%2\"")
                                  .arg(as<QLabel>(view, d.id)->text(), text);
            }
            break;
        case ControlKind::TextBox:
            if (as<QLineEdit>(view, d.id)->text() != text) {
                return name + QStringLiteral(": text \"%1\", model \"%2\"")
                                  .arg(as<QLineEdit>(view, d.id)->text(), text);
            }
            break;
        case ControlKind::ComboBox: {
            auto* combo = as<QComboBox>(view, d.id);
            if (combo->currentIndex() != c.listIndex ||
                combo->count() != static_cast<int>(c.items.size())) {
                return name + QStringLiteral(": list position or item count differs");
            }
            for (int i = 0; i < combo->count(); ++i) {
                if (combo->itemText(i) != toQString(c.items[static_cast<std::size_t>(i)])) {
                    return name + QStringLiteral(": item %1 differs").arg(i);
                }
            }
            break;
        }
        case ControlKind::Option:
            if (as<QRadioButton>(view, d.id)->isChecked() != c.value) {
                return name + QStringLiteral(": selection differs from the model");
            }
            break;
        default:
            break;
        }
    }
    return {};
}

// The controls whose caption or text differ between two models.
QStringList differingTexts(const Form1& a, const Form1& b) {
    QStringList names;
    for (const auto& d : ControlDescriptions()) {
        if (a.control(d.id).text != b.control(d.id).text) {
            names << toQString(d.name);
        }
    }
    return names;
}

Form1 loadedModel() {
    Form1 form;
    form.load();
    return form;
}

// A click near the right edge of an option button, away from its round mark.
void clickOption(const Form1View& view, ControlId id) {
    QWidget* w = view.widget(id);
    QTest::mouseClick(w, Qt::LeftButton, {}, QPoint(w->width() - 2, w->height() / 2));
}

void pickWithKey(const Form1View& view, ControlId id, Qt::Key key) {
    QTest::keyClick(view.widget(id), key);
}

void retype(const Form1View& view, ControlId id, const QString& text) {
    auto* edit = as<QLineEdit>(view, id);
    edit->setFocus();
    QTest::keyClick(edit, Qt::Key_A, Qt::ControlModifier);
    QTest::keyClick(edit, Qt::Key_Backspace);
    QTest::keyClicks(edit, text);
}

using ViewAction = std::function<void(const Form1View&)>;
using ModelAction = std::function<void(Form1&)>;

} // namespace

Q_DECLARE_METATYPE(ViewAction)
Q_DECLARE_METATYPE(ModelAction)

class WindowTest : public QObject {
    Q_OBJECT

private Q_SLOTS:
    // State: a new window. Expected: the start-up results in its widgets, the title and size.
    void opensWithStartUpResultsInItsWidgets() {
        Form1View view;
        QCOMPARE(view.windowTitle(), QStringLiteral("Calculator "));
        QCOMPARE(view.minimumSize(), QSize(624, 545));
        QCOMPARE(view.maximumSize(), QSize(624, 545));
        QVERIFY(!(view.windowFlags() & Qt::WindowMaximizeButtonHint));
        QCOMPARE(as<QLineEdit>(view, ControlId::txtFrameSize)->text(), QStringLiteral("7.5"));
        QCOMPARE(as<QLabel>(view, ControlId::lbPerBandwidth)->text(), QStringLiteral(" 2.25Mbps"));
        QCOMPARE(as<QLabel>(view, ControlId::lbTotalBandwidth)->text(),
                 QStringLiteral(" 2.25Mbps"));
        QCOMPARE(as<QLabel>(view, ControlId::lbStorageSize)->text(), QStringLiteral(" 149.688GB"));
        QCOMPARE(as<QComboBox>(view, ControlId::cmbFPS)->currentText(), QStringLiteral(" 30"));
        QCOMPARE(as<QComboBox>(view, ControlId::cmbGOP)->currentText(), QStringLiteral(" 1"));
        QCOMPARE(as<QComboBox>(view, ControlId::cmbHours)->currentText(), QStringLiteral(" 24"));
        QCOMPARE(as<QComboBox>(view, ControlId::cmbBitrateMode)->currentText(),
                 QStringLiteral("VBR"));
        QCOMPARE(as<QComboBox>(view, ControlId::cmbQuality)->currentText(),
                 QStringLiteral("Highest"));
        QVERIFY(as<QRadioButton>(view, ControlId::optStream0)->isChecked());
        QVERIFY(as<QRadioButton>(view, ControlId::optResolution0)->isChecked());
        const QString mismatch = firstMismatch(view);
        QVERIFY2(mismatch.isEmpty(), qPrintable(mismatch));
    }

    void userActionsChangeExactlyTheCaptionsTheModelSays_data() {
        QTest::addColumn<ViewAction>("onView");
        QTest::addColumn<ModelAction>("onModel");
        QTest::addColumn<QStringList>("changed");
        const QStringList allResults{"txtFrameSize", "lbTotalBandwidth", "lbPerBandwidth",
                                     "lbStorageSize"};
        QTest::newRow("clicking CIF")
            << ViewAction([](const Form1View& v) { clickOption(v, ControlId::optResolution1); })
            << ModelAction([](Form1& f) { f.selectOption(ControlId::optResolution1); })
            << allResults;
        QTest::newRow("clicking 3 Megapixel")
            << ViewAction([](const Form1View& v) { clickOption(v, ControlId::optResolution6); })
            << ModelAction([](Form1& f) { f.selectOption(ControlId::optResolution6); })
            << allResults;
        QTest::newRow("clicking MPEG-4")
            << ViewAction([](const Form1View& v) { clickOption(v, ControlId::optStream1); })
            << ModelAction([](Form1& f) { f.selectOption(ControlId::optStream1); }) << allResults;
        QTest::newRow("picking 29 frames per second")
            << ViewAction([](const Form1View& v) { pickWithKey(v, ControlId::cmbFPS, Qt::Key_Up); })
            << ModelAction([](Form1& f) { f.setListIndex(ControlId::cmbFPS, 28); })
            << QStringList{"lbTotalBandwidth", "lbPerBandwidth", "lbStorageSize"};
        QTest::newRow("picking 23 hours") << ViewAction([](const Form1View& v) {
            pickWithKey(v, ControlId::cmbHours, Qt::Key_Up);
        }) << ModelAction([](Form1& f) { f.setListIndex(ControlId::cmbHours, 22); })
                                          << QStringList{"lbStorageSize"};
        QTest::newRow("picking normal quality") << ViewAction([](const Form1View& v) {
            pickWithKey(v, ControlId::cmbQuality, Qt::Key_Down);
        }) << ModelAction([](Form1& f) { f.setListIndex(ControlId::cmbQuality, 1); })
                                                << allResults;
        QTest::newRow("typing 30 days")
            << ViewAction([](const Form1View& v) { retype(v, ControlId::txtDays, "30"); })
            << ModelAction([](Form1& f) { f.setText(ControlId::txtDays, "30"); })
            << QStringList{"txtDays", "lbStorageSize"};
        QTest::newRow("typing 16 cameras")
            << ViewAction([](const Form1View& v) { retype(v, ControlId::txtCameraCount, "16"); })
            << ModelAction([](Form1& f) { f.setText(ControlId::txtCameraCount, "16"); })
            << QStringList{"txtCameraCount", "lbTotalBandwidth", "lbStorageSize"};
    }

    // State: a new window. Action: one user action on a widget. Expected: the window shows what
    // a model given the same operation shows, and only the expected captions changed.
    void userActionsChangeExactlyTheCaptionsTheModelSays() {
        QFETCH(ViewAction, onView);
        QFETCH(ModelAction, onModel);
        QFETCH(QStringList, changed);
        Form1View view;
        view.show();
        QVERIFY(QTest::qWaitForWindowExposed(&view));
        onView(view);

        Form1 expected = loadedModel();
        onModel(expected);
        QCOMPARE(differingTexts(loadedModel(), expected), changed);
        QCOMPARE(differingTexts(view.model(), expected), QStringList());
        const QString mismatch = firstMismatch(view);
        QVERIFY2(mismatch.isEmpty(), qPrintable(mismatch));
    }

    // State: a new window (MJPEG). Action: H.264, CBR, MJPEG, MPEG-4, VBR in turn. Expected:
    // after each, every widget stands, shows and hides as its model control.
    void switchingStreamAndBitrateModeLaysOutAsTheModel() {
        Form1View view;
        view.show();
        QVERIFY(QTest::qWaitForWindowExposed(&view));
        struct Step {
            const char* name;
            ViewAction action;
            bool bitrateShown;
            bool frameSizeShown;
        };
        const std::vector<Step> steps{
            {"H.264", [](const Form1View& v) { clickOption(v, ControlId::optStream2); }, false,
             true},
            {"CBR",
             [](const Form1View& v) { pickWithKey(v, ControlId::cmbBitrateMode, Qt::Key_Down); },
             true, false},
            {"MJPEG", [](const Form1View& v) { clickOption(v, ControlId::optStream0); }, false,
             true},
            {"MPEG-4", [](const Form1View& v) { clickOption(v, ControlId::optStream1); }, true,
             false},
            {"VBR",
             [](const Form1View& v) { pickWithKey(v, ControlId::cmbBitrateMode, Qt::Key_Up); },
             false, true},
        };
        for (const Step& step : steps) {
            step.action(view);
            const QString mismatch = firstMismatch(view);
            QVERIFY2(mismatch.isEmpty(),
                     qPrintable(QString::fromLatin1(step.name) + ": " + mismatch));
            QVERIFY2(view.widget(ControlId::txtBPS)->isVisible() == step.bitrateShown, step.name);
            QVERIFY2(view.widget(ControlId::txtFrameSize)->isVisible() == step.frameSizeShown,
                     step.name);
        }
        // CBR puts the bitrate beside the bitrate mode, in the top row.
        QCOMPARE(view.widget(ControlId::txtBPS)->y(), 3240 / 15);
    }

    // State: the caret after the 7 of "7.5". Action: type 2. Expected: "72.5" with the caret
    // after the 2, and results recomputed from 72.5.
    void typingIntoFrameSizeKeepsTheCaretAndRecomputes() {
        Form1View view;
        view.show();
        QVERIFY(QTest::qWaitForWindowExposed(&view));
        auto* edit = as<QLineEdit>(view, ControlId::txtFrameSize);
        edit->setFocus();
        edit->setCursorPosition(1);
        QTest::keyClicks(edit, "2");
        QCOMPARE(edit->text(), QStringLiteral("72.5"));
        QCOMPARE(edit->cursorPosition(), 2);
        Form1 expected = loadedModel();
        expected.setText(ControlId::txtFrameSize, "72.5");
        QCOMPARE(as<QLabel>(view, ControlId::lbPerBandwidth)->text(),
                 toQString(expected.control(ControlId::lbPerBandwidth).text));
        QCOMPARE(as<QLabel>(view, ControlId::lbStorageSize)->text(),
                 toQString(expected.control(ControlId::lbStorageSize).text));
        QVERIFY(as<QLabel>(view, ControlId::lbPerBandwidth)->text() != QStringLiteral(" 2.25Mbps"));
    }

    // Action: select the selected option, pick the picked item, click a caption label.
    // Expected: no event reaches the model and nothing changes; a real change does raise one.
    void reselectingOrClickingCaptionsRaisesNothing() {
        Form1View view;
        view.show();
        QVERIFY(QTest::qWaitForWindowExposed(&view));
        std::vector<std::string> events;
        view.ownModel().setTraceListener([&](std::string_view name) { events.emplace_back(name); });

        clickOption(view, ControlId::optStream0);
        as<QComboBox>(view, ControlId::cmbFPS)->setCurrentIndex(29);
        QTest::mouseClick(view.widget(ControlId::Label2_1), Qt::LeftButton);
        QTest::mouseClick(view.widget(ControlId::Label1_2), Qt::LeftButton);
        QCOMPARE(events.size(), std::size_t{0});
        QVERIFY(as<QRadioButton>(view, ControlId::optResolution0)->isChecked());
        QVERIFY(as<QRadioButton>(view, ControlId::optStream0)->isChecked());

        clickOption(view, ControlId::optResolution1);
        QVERIFY(!events.empty());
        QCOMPARE(QString::fromStdString(events.front()), QStringLiteral("optResolution_Click"));
    }

    // State: the MJPEG layout with CIF selected, focus on the selected stream button. Action: Tab
    // through the window and back. Expected: the inputs in the order of their tab indexes, each
    // option group entered at its selected button, hidden inputs skipped.
    void tabVisitsInputsInTabIndexOrderSkippingHidden() {
        Form1View view;
        view.show();
        view.activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(&view));
        clickOption(view, ControlId::optResolution1);
        view.widget(ControlId::optStream0)->setFocus();
        const auto walk = [](Qt::Key key) {
            QStringList visited;
            for (int i = 0; i < 10; ++i) {
                visited << QApplication::focusWidget()->objectName();
                QTest::keyClick(QApplication::focusWidget(), key);
            }
            return visited;
        };
        QCOMPARE(walk(Qt::Key_Tab),
                 QStringList({"optStream(0)", "optResolution(1)", "txtFrameSize", "txtCameraCount",
                              "cmbFPS", "cmbHours", "txtDays", "cmbQuality", "optStream(0)",
                              "optResolution(1)"}));
        QCOMPARE(walk(Qt::Key_Backtab),
                 QStringList({"txtFrameSize", "optResolution(1)", "optStream(0)", "cmbQuality",
                              "txtDays", "cmbHours", "cmbFPS", "txtCameraCount", "txtFrameSize",
                              "optResolution(1)"}));

        // The CBR layout hides the frame size, the frame rate and the quality and shows the
        // bitrate mode and the bitrate.
        clickOption(view, ControlId::optStream2);
        QTest::keyClick(view.widget(ControlId::cmbBitrateMode), Qt::Key_Down);
        view.widget(ControlId::txtCameraCount)->setFocus();
        QCOMPARE(walk(Qt::Key_Tab).mid(0, 6),
                 QStringList({"txtCameraCount", "cmbHours", "txtDays", "cmbBitrateMode", "txtBPS",
                              "optStream(2)"}));
    }

    // Expected: the fonts, label behaviour and text limits the form is designed with.
    void controlsLookAndBehaveAsDesigned() {
        Form1View view;
        for (const auto& d : ControlDescriptions()) {
            QWidget* w = view.widget(d.id);
            const auto* frame = dynamic_cast<const lenstally::FrameBox*>(w);
            const QFont font = frame != nullptr ? frame->titleFont() : w->font();
            QCOMPARE(font.bold(), d.font.bold);
            QCOMPARE(font.pointSizeF(),
                     d.font.centiPoints == 825 ? 8.0 : d.font.centiPoints / 100.0);
            QCOMPARE(font.family(), QStringLiteral("Liberation Sans"));
            QVERIFY(!w->font().bold() || d.kind != ControlKind::Frame);
            if (d.kind == ControlKind::Label) {
                auto* label = as<QLabel>(view, d.id);
                QCOMPARE(label->textFormat(), Qt::PlainText);
                QVERIFY(label->alignment() & Qt::AlignTop);
                QVERIFY(label->wordWrap());
                QCOMPARE(label->focusPolicy(), Qt::NoFocus);
            }
        }
        QVERIFY(!view.widget(ControlId::Label1_0)->font().bold());
        QVERIFY(!view.widget(ControlId::lbFPS)->font().bold());
        QCOMPARE(as<QLabel>(view, ControlId::Label2_0)->text(), QStringLiteral("QCIF (176x120)\t"));
        QCOMPARE(as<QLabel>(view, ControlId::Label8)->text(), QStringLiteral(" Per Camera:"));

        const QString longText(40000, QLatin1Char('9'));
        as<QLineEdit>(view, ControlId::txtDays)->setText(longText);
        QCOMPARE(view.model().control(ControlId::txtDays).text.size(), std::size_t{40000});
    }

    // Expected: assistive tools find each input by its caption and each result by its value
    // with a description.
    void assistiveToolsReadNamesAndDescriptions() {
        Form1View view;
        view.show();
        QVERIFY(QTest::qWaitForWindowExposed(&view));
        const auto name = [&](ControlId id) {
            return QAccessible::queryAccessibleInterface(view.widget(id))->text(QAccessible::Name);
        };
        const auto description = [&](ControlId id) {
            return QAccessible::queryAccessibleInterface(view.widget(id))
                ->text(QAccessible::Description);
        };
        QCOMPARE(name(ControlId::optStream0), QStringLiteral("MJPEG"));
        QCOMPARE(name(ControlId::optResolution0), QStringLiteral("QCIF (176x120)"));
        QCOMPARE(name(ControlId::optResolution1), QStringLiteral("CIF (352x240)"));
        QCOMPARE(name(ControlId::txtFrameSize), QStringLiteral("Average Frame Size:"));
        QCOMPARE(name(ControlId::txtCameraCount), QStringLiteral("Number of Cameras:"));
        QCOMPARE(name(ControlId::txtDays),
                 QStringLiteral("Desired Storage (Number of Days) per Camera:"));
        QCOMPARE(name(ControlId::Frame1), QStringLiteral("Camera Stream"));
        QCOMPARE(name(ControlId::Frame6), QStringLiteral("Bandwidth Required:"));
        QCOMPARE(name(ControlId::lbStorageSize), QStringLiteral(" 149.688GB"));
        QCOMPARE(description(ControlId::lbStorageSize), QStringLiteral("Estimated storage"));
        QCOMPARE(description(ControlId::lbPerBandwidth), QStringLiteral("Bandwidth per camera"));
        QCOMPARE(description(ControlId::lbTotalBandwidth), QStringLiteral("Total bandwidth"));
    }
};

QTEST_MAIN(WindowTest)
#include "window_test.moc"
