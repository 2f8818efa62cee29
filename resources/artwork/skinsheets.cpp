// SPDX-License-Identifier: GPL-3.0-or-later
#include "skinsheets.h"

#include "contrast.h"

#include <QColor>
#include <QStringList>

namespace SkinSheets {

namespace {

SkinColours skin(const QStringList &fields)
{
    SkinColours colours;
    colours.name = fields.value(0);
    colours.palette = fields.value(1);
    colours.text = fields.value(2);
    colours.panel = fields.value(1);
    colours.border = fields.value(3);
    colours.normalStart = fields.value(4);
    colours.normalEnd = fields.value(5);
    colours.darkStart = fields.value(6);
    colours.darkEnd = fields.value(7);
    colours.high = fields.value(8);
    colours.button = fields.value(9);
    colours.buttonText = fields.value(10);
    colours.hover = fields.value(11);
    colours.hoverText = fields.value(12);
    colours.titleButtonHover = fields.value(13);
    // Text fields stand out from the panel: white on light skins, a shade
    // below the panel on dark ones.
    const QColor panel(colours.panel);
    colours.input
        = panel.lightness() > 128 ? QStringLiteral("#FFFFFF") : panel.darker(125).name().toUpper();
    // Dialogs lie on the window's panel of the same colour, where the border colour can all but
    // vanish (#111214 on #0E141B): their edge is moved until it stands out as a control's does.
    colours.frame
        = Contrast::readableOn(QColor(colours.border), panel, Contrast::Graphics).name().toUpper();
    return colours;
}

const QString SplitterRule = QStringLiteral("QLabel[form=\"splitter\"]{\n"
                                            "background:%1;\n"
                                            "}\n\n");

const QString ColourCheckBoxRule
    = QStringLiteral("QCheckBox[form=\"color\"]::indicator,\n"
                     "QCheckBox[form=\"color\"]::indicator:checked,\n"
                     "QCheckBox[form=\"color\"]::indicator:unchecked{\n"
                     "width:16px;\n"
                     "height:16px;\n"
                     "image:url(:/current_src/color.png);\n"
                     "}\n\n");

} // namespace

QVector<SkinColours> skins()
{
    // name, palette, text, border, normal start/end, dark start/end, high,
    // button, button text, hover, hover text, title-button hover
    //
    // A hovered or checked button's white text needs a ground dark enough for 4.5 : 1: the
    // dark skins' hover blue was #1A9FFE (2.8 : 1) and #3E7ED6 (4.1 : 1), light black's
    // buttons #6F7D84 (3.7 : 1); each is darkened just enough, keeping its hue. Light black's
    // #F0F0F0 text on its own grey ground (4.5 : 1 to the letter) is white.
    QVector<SkinColours> table = {
        skin({"silvery", "#F5F5F5", "#000000", "#B2B6B9", "#E1E4E6", "#CCD3D9", "#F2F3F4",
            "#E7E9EB", "#00BB9E", "#E4E7EA", "#000000", "#C9D2DA", "#000000", "rgba(0,0,0,40)"}),
        skin({"blue", "#CFDDEE", "#324C6C", "#7F9AB8", "#E4ECF7", "#C7D8EE", "#A3BFE2", "#8FB0DA",
            "#3F8ED9", "#E4ECF7", "#324C6C", "#A3BFE2", "#1F3857", "rgba(63,142,217,160)"}),
        skin({"lightblue", "#EAF7FF", "#386487", "#C0DCF2", "#DEF0FE", "#C0DEF6", "#F2F9FF",
            "#DAEFFF", "#0078D7", "#DEF0FE", "#386487", "#C0DEF6", "#1F4A6E",
            "rgba(0,120,215,140)"}),
        skin({"darkblue", "#0E1A32", "#DCE6F2", "#053661", "#15294F", "#0E1A32", "#1E5A9E",
            "#174B86", "#2B7DDD", "#15294F", "#FFFFFF", "#1E5A9E", "#FFFFFF",
            "rgba(43,125,221,200)"}),
        skin({"gray", "#F0F0F0", "#000000", "#A9A9A9", "#E4E4E4", "#C8C8C8", "#DADADA", "#BEBEBE",
            "#5E5E5E", "#E4E4E4", "#000000", "#C8C8C8", "#000000", "rgba(0,0,0,50)"}),
        skin({"lightgray", "#F0F0F0", "#000000", "#CFCFCF", "#F8F8F8", "#E6E6E6", "#EFEFEF",
            "#DDDDDD", "#0078D7", "#F8F8F8", "#000000", "#E0E0E0", "#000000", "rgba(0,0,0,35)"}),
        skin({"darkgray", "#EBECF0", "#000000", "#A7B2BD", "#DFE3E8", "#C3CAD2", "#C8CFD7",
            "#AEB7C2", "#6B7C8C", "#DFE3E8", "#000000", "#C3CAD2", "#000000",
            "rgba(107,124,140,120)"}),
        skin({"black", "#464646", "#F0F0F0", "#222222", "#5F5F5F", "#434343", "#767676", "#545454",
            "#1ABC9C", "#5A5A5A", "#F0F0F0", "#6E6E6E", "#FFFFFF", "rgba(255,255,255,50)"}),
        skin({"lightblack", "#616F76", "#FFFFFF", "#3E4A50", "#74838A", "#5A666C", "#8A999F",
            "#6B787E", "#FFC12E", "#4A555A", "#FFFFFF", "#56646B", "#FFFFFF",
            "rgba(255,255,255,60)"}),
        skin({"darkblack", "#1F2026", "#DCDCDC", "#111214", "#2D2F36", "#222329", "#3A3D45",
            "#2A2C32", "#00BB9E", "#2D2F36", "#DCDCDC", "#3470C4", "#FFFFFF",
            "rgba(62,126,214,200)"}),
        skin(
            {"psblack", "#444444", "#DCDCDC", "#242424", "#484848", "#383838", "#646464", "#525252",
                "#00BB9E", "#4F4F4F", "#DCDCDC", "#5E5E5E", "#FFFFFF", "rgba(255,255,255,50)"}),
        skin({"flatblack", "#2E2F30", "#DCDCDC", "#67696B", "#404244", "#383A3C", "#262829",
            "#1E1F20", "#00BB9E", "#404244", "#DCDCDC", "#505355", "#FFFFFF",
            "rgba(255,255,255,40)"}),
        skin({"flatwhite", "#FFFFFF", "#57595B", "#B6B6B6", "#E4E4E4", "#E4E4E4", "#F6F6F6",
            "#F6F6F6", "#1ABC9C", "#E4E4E4", "#57595B", "#D3D3D3", "#000000", "rgba(0,0,0,35)"}),
        skin({"darkblue1", "#0E141B", "#BFD3E6", "#1E3048", "#17273A", "#0F1A27", "#1D5C9A",
            "#17508A", "#36A2FF", "#1B2B3F", "#E6F0FA", "#1D6BB5", "#FFFFFF",
            "rgba(54,162,255,180)"}),
        skin({"darkblack1", "#0E141B", "#D7E2E9", "#111214", "#242629", "#141518", "#007DC4",
            "#0074BF", "#00BB9E", "#2A2D33", "#FFFFFF", "#0070C0", "#FFFFFF",
            "rgba(51,127,209,230)"}),
        skin({"darkblack2", "#0E141B", "#D7E2E9", "#111214", "#242629", "#141518", "#007DC4",
            "#0074BF", "#00BB9E", "#32353C", "#FFFFFF", "#0070C0", "#ffffff",
            "rgba(51,127,209,230)"}),
        skin({"bf", "#E8EEF3", "#1E2C3A", "#9FB1C2", "#F4F7FA", "#DCE4EC", "#C9D8E6", "#B4C8DB",
            "#2F80ED", "#F4F7FA", "#1E2C3A", "#C9D8E6", "#0F1B26", "rgba(47,128,237,120)"}),
        skin({"test", "#FFFFFF", "#000000", "#FF0000", "#FFFF00", "#00FF00", "#00FFFF", "#0000FF",
            "#FF00FF", "#FFFF00", "#000000", "#00FFFF", "#000000", "rgba(255,0,255,120)"}),
    };
    for (SkinColours &colours : table) {
        if (colours.name == QLatin1String("darkblack1")
            || colours.name == QLatin1String("darkblack2"))
            colours.splitter = QStringLiteral("#161F2A");
        colours.colourCheckBox = colours.name == QLatin1String("darkblack2");
    }
    return table;
}

QString sheet(const SkinColours &skin, const QString &bodyTemplate)
{
    QString extras;
    if (!skin.splitter.isEmpty())
        extras += SplitterRule.arg(skin.splitter);
    if (skin.colourCheckBox)
        extras += ColourCheckBoxRule;

    QString body = bodyTemplate;
    const QList<QPair<QString, QString>> values = {
        {"@Name@", skin.name},
        {"@PaletteColor@", skin.palette},
        {"@TextColor@", skin.text},
        {"@PanelColor@", skin.panel},
        {"@BorderColor@", skin.border},
        {"@NormalColorStart@", skin.normalStart},
        {"@NormalColorEnd@", skin.normalEnd},
        {"@DarkColorStart@", skin.darkStart},
        {"@DarkColorEnd@", skin.darkEnd},
        {"@HighColor@", skin.high},
        {"@ButtonColor@", skin.button},
        {"@ButtonText@", skin.buttonText},
        {"@HoverColor@", skin.hover},
        {"@HoverText@", skin.hoverText},
        {"@TitleButtonHover@", skin.titleButtonHover},
        {"@InputColor@", skin.input},
        {"@FrameColor@", skin.frame},
        {"@Extras@", extras},
    };
    for (const auto &value : values)
        body.replace(value.first, value.second);
    return body;
}

} // namespace SkinSheets
