<?xml version="1.0" encoding="utf-8"?>
<!DOCTYPE TS>
<TS version="2.1" language="en_US" sourcelanguage="zh_CN">
<context>
    <name>CurrentAndNeedleDeviceWidget</name>
    <message>
        <source>Form</source>
        <translation>Form</translation>
    </message>
    <message>
        <source>Current and voltage detection table</source>
        <translation>Current and voltage detection table</translation>
    </message>
    <message>
        <source>W</source>
        <translation>W</translation>
    </message>
    <message>
        <source>A</source>
        <translation>A</translation>
    </message>
    <message>
        <source>V</source>
        <translation>V</translation>
    </message>
    <message>
        <source>当前电压</source>
        <translation>Current Voltage</translation>
    </message>
    <message>
        <source>当前电流</source>
        <translation>Current Current</translation>
    </message>
    <message>
        <source>当前功率</source>
        <translation>Current Power</translation>
    </message>
</context>
<context>
    <name>CurrentDeviceLineWidget</name>
    <message>
        <source>Form</source>
        <translation>Form</translation>
    </message>
    <message>
        <source>TextLabel</source>
        <translation>TextLabel</translation>
    </message>
</context>
<context>
    <name>CurrentDeviceWidget</name>
    <message>
        <source>Form</source>
        <translation>Form</translation>
    </message>
</context>
<context>
    <name>MainWindow</name>
    <message>
        <source>曲线显示</source>
        <translation>Curve display</translation>
    </message>
    <message>
        <source>指针显示</source>
        <translation>Pointer display</translation>
    </message>
    <message>
        <source>曲线/指针电流显示</source>
        <translation>Curve/pointer current display</translation>
    </message>
    <message>
        <source>切换语言</source>
        <translation>Switch language</translation>
    </message>
    <message>
        <source>保存</source>
        <translation>Save</translation>
    </message>
    <message>
        <source>回放</source>
        <translation>Playback</translation>
    </message>
    <message>
        <source>对比</source>
        <translation>Compare</translation>
    </message>
    <message>
        <source>设置/服务</source>
        <translation>Settings/Services</translation>
    </message>
    <message>
        <source>个性色彩</source>
        <translation>Personality Color</translation>
    </message>
    <message>
        <source>中文</source>
        <translation>中文</translation>
    </message>
    <message>
        <source>英文</source>
        <translation>English</translation>
    </message>
    <message>
        <source>设备已连接</source>
        <translation>Device Connected</translation>
    </message>
    <message>
        <source>设备未连接</source>
        <translation>Device Not Connected</translation>
    </message>
    <message>
        <source>  电流表上位机管理软件</source>
        <translation>  Ampere meter upper computer management software</translation>
    </message>
</context>
<context>
    <name>QUIMessageBox</name>
    <message>
        <source>YES</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>NO</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>关闭倒计时 %1 s</source>
        <translation>Close countdown %1 s</translation>
    </message>
    <message>
        <source>提示</source>
        <translation>Prompt</translation>
    </message>
    <message>
        <source>询问</source>
        <translation>Inquire</translation>
    </message>
    <message>
        <source>错误</source>
        <translation>Error</translation>
    </message>
</context>
<context>
    <name>RecordingController</name>
    <message>
        <source>停止录制</source>
        <translation>Stop Recording</translation>
    </message>
    <message>
        <source>开始录制</source>
        <translation>Start Recording</translation>
    </message>
</context>
<context>
    <name>RunStatusBar</name>
    <message>
        <source>● 录制中 %1</source>
        <translation>● REC %1</translation>
    </message>
    <message numerus="yes">
        <source>%n 行</source>
        <translation>
            <numerusform>%n row</numerusform>
            <numerusform>%n rows</numerusform>
        </translation>
    </message>
    <message>
        <source>清零</source>
        <translation>Reset</translation>
    </message>
    <message>
        <source>从现在起重新统计</source>
        <translation>Count the figures again from now</translation>
    </message>
    <message>
        <source>本次 %1  电流 最小 %2 / 平均 %3 / 最大 %4 A  %5 mAh  %6 mWh</source>
        <translation>Run %1  Current min %2 / mean %3 / max %4 A  %5 mAh  %6 mWh</translation>
    </message>
</context>
<context>
    <name>SaveController</name>
    <message>
        <source>保存</source>
        <translation>Save</translation>
    </message>
    <message>
        <source>无法保存 %1：%2</source>
        <translation>Cannot save %1: %2</translation>
    </message>
</context>
<context>
    <name>VoltageAndCurrentWidget</name>
    <message>
        <source>Form</source>
        <translation>Form</translation>
    </message>
    <message>
        <source>5.000</source>
        <translation>5.000</translation>
    </message>
    <message>
        <source>A</source>
        <translation>A</translation>
    </message>
    <message>
        <source>V</source>
        <translation>V</translation>
    </message>
</context>
<context>
    <name>WindowRecorder</name>
    <message>
        <source>无法创建录制文件夹 %1</source>
        <translation>Cannot create the recordings folder %1</translation>
    </message>
    <message>
        <source>无法写入录制文件 %1：%2</source>
        <translation>Cannot write the recording %1: %2</translation>
    </message>
</context>
</TS>
