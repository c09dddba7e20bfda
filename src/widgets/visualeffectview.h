// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QWidget>

// A plain widget that paints a fill, not a view over a model or a scene.
// A surface that lies behind other views in one of the window's materials. Widgets cannot see
// through to what lies behind them, so each material is drawn as a fill derived from the palette:
// opaque for the content background, translucent for the thin materials, and for an untinted blur
// the frost a blur leaves: the window's colour, a shade off, mostly covering what its parent drew.
class VisualEffectView : public QWidget
{
    Q_OBJECT

public:
    enum class Material { contentBackground, fullScreenUI, ultraThin };
    enum class State { followsWindowActiveState, active, inactive };

    // `removeTint` is fixed here: a view without tint shows the full-screen material, always
    // active, whatever material it is given later.
    VisualEffectView(Material material, bool removeTint, QWidget *parent = nullptr);

    Material material() const { return m_material; }
    State state() const { return m_state; }
    bool removesTint() const { return m_removeTint; }

    void setMaterial(Material material);

    // The colour the material lays down over its parent.
    static QColor tint(Material material, bool removeTint, const QPalette &palette, bool windowActive);

protected:
    void paintEvent(QPaintEvent *event) override;

private:
    void stripTint();

    Material m_material;
    State m_state = State::followsWindowActiveState;
    bool m_removeTint;
};
