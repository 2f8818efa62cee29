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
        <source>00:00:00</source>
        <translation>00:00:00</translation>
    </message>
    <message>
        <source>Current and voltage detection table</source>
        <translation>Current and voltage detection table</translation>
    </message>
    <message>
        <source>TextLabel</source>
        <translation>TextLabel</translation>
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
    <name>DeviceStateLabel</name>
    <message>
        <source>设备未连接</source>
        <translation>Device Not Connected</translation>
    </message>
    <message>
        <source>设备已连接</source>
        <translation>Device Connected</translation>
    </message>
    <message>
        <source>设备无响应</source>
        <translation>Meter Not Responding</translation>
    </message>
    <message>
        <source>无权限访问 %1</source>
        <translation>No permission for %1</translation>
    </message>
    <message>
        <source>%1 被其他程序占用</source>
        <translation>%1 is in use by another program</translation>
    </message>
    <message>
        <source>无法打开 %1</source>
        <translation>Cannot open %1</translation>
    </message>
    <message>
        <source>安装 udev 规则 70-ammeter.rules（见 README），或把用户加入 dialout 组并重新登录，然后重新插入电流表。</source>
        <translation>Install the udev rule 70-ammeter.rules (see the README), or join the group dialout and log in again, then plug the meter in again.</translation>
    </message>
    <message>
        <source>关闭占用该端口的程序，然后重新插入电流表。</source>
        <translation>Close the program that holds the port, then plug the meter in again.</translation>
    </message>
    <message>
        <source>重新插入电流表。</source>
        <translation>Plug the meter in again.</translation>
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
        <source>开始录制</source>
        <translation>Start Recording</translation>
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
</TS>
