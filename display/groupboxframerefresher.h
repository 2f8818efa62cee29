// SPDX-License-Identifier: GPL-3.0-or-later
#ifndef GROUPBOXFRAMEREFRESHER_H
#define GROUPBOXFRAMEREFRESHER_H

#include <QObject>

class QGroupBox;

// A group box works out its frame when its style changes, which for a skin applied after the
// page was built happens before the skin's rules reach it; its contents would then cover the
// top border. Working the frame out again once it is shown uses the rules in force.
class GroupBoxFrameRefresher : public QObject
{
public:
    static void install(QGroupBox *groupBox);

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    using QObject::QObject;
};

#endif // GROUPBOXFRAMEREFRESHER_H
