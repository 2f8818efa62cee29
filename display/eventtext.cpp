// SPDX-License-Identifier: GPL-3.0-or-later
#include "eventtext.h"

QString EventText::label(const RunEvent &event)
{
    switch (event.kind) {
    case RunEvent::Started:
        return tr("开始录制");
    case RunEvent::Stopped:
        return tr("停止录制");
    case RunEvent::Unplugged:
        return tr("电流表拔出");
    case RunEvent::Plugged:
        return tr("电流表接回");
    case RunEvent::Silent:
        return tr("电流表无应答");
    case RunEvent::Answering:
        return tr("电流表恢复应答");
    case RunEvent::ConditionReached:
        return tr("到达停止条件");
    case RunEvent::LimitCrossed:
        return tr("超过限值");
    case RunEvent::Note:
        break;
    }
    return event.text.isEmpty() ? tr("标记") : event.text;
}

QString EventText::detail(const RunEvent &event)
{
    if (event.kind == RunEvent::Note || event.text.isEmpty())
        return label(event);
    return tr("%1：%2").arg(label(event), event.text);
}

double EventText::seconds(const RecordedRun &run, const RunEvent &event)
{
    return run.startTime().msecsTo(event.time) / 1000.0;
}
