<?xml version="1.0" encoding="utf-8"?>
<!DOCTYPE TS>
<TS version="2.1" language="zh_CN" sourcelanguage="zh_CN">
<context>
    <name>CurrentAndNeedleDeviceWidget</name>
    <message>
        <source>Form</source>
        <translation>Form</translation>
    </message>
    <message>
        <source>Current and voltage detection table</source>
        <translation>电流电压检测表</translation>
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
        <translation>当前电压</translation>
    </message>
    <message>
        <source>当前电流</source>
        <translation>当前电流</translation>
    </message>
    <message>
        <source>当前功率</source>
        <translation>当前功率</translation>
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
        <translation>曲线显示</translation>
    </message>
    <message>
        <source>指针显示</source>
        <translation>指针显示</translation>
    </message>
    <message>
        <source>曲线/指针电流显示</source>
        <translation>曲线/指针电流显示</translation>
    </message>
    <message>
        <source>切换语言</source>
        <translation>切换语言</translation>
    </message>
    <message>
        <source>保存</source>
        <translation>保存</translation>
    </message>
    <message>
        <source>回放</source>
        <translation>回放</translation>
    </message>
    <message>
        <source>对比</source>
        <translation>对比</translation>
    </message>
    <message>
        <source>设置/服务</source>
        <translation>设置/服务</translation>
    </message>
    <message>
        <source>个性色彩</source>
        <translation>个性色彩</translation>
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
        <translation>设备已连接</translation>
    </message>
    <message>
        <source>设备未连接</source>
        <translation>设备未连接</translation>
    </message>
    <message>
        <source>  电流表上位机管理软件</source>
        <translation>  电流表上位机管理软件</translation>
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
        <translation>关闭倒计时 %1 s</translation>
    </message>
    <message>
        <source>提示</source>
        <translation>提示</translation>
    </message>
    <message>
        <source>询问</source>
        <translation>询问</translation>
    </message>
    <message>
        <source>错误</source>
        <translation>错误</translation>
    </message>
</context>
<context>
    <name>RecordingController</name>
    <message>
        <source>停止录制</source>
        <translation>停止录制</translation>
    </message>
    <message>
        <source>开始录制</source>
        <translation>开始录制</translation>
    </message>
</context>
<context>
    <name>RunStatusBar</name>
    <message>
        <source>● 录制中 %1</source>
        <translation>● 录制中 %1</translation>
    </message>
    <message numerus="yes">
        <source>%n 行</source>
        <translation>
            <numerusform>%n 行</numerusform>
        </translation>
    </message>
    <message>
        <source>清零</source>
        <translation>清零</translation>
    </message>
    <message>
        <source>从现在起重新统计</source>
        <translation>从现在起重新统计</translation>
    </message>
    <message>
        <source>本次 %1  电流 最小 %2 / 平均 %3 / 最大 %4 A  %5 mAh  %6 mWh</source>
        <translation>本次 %1  电流 最小 %2 / 平均 %3 / 最大 %4 A  %5 mAh  %6 mWh</translation>
    </message>
</context>
<context>
    <name>SaveController</name>
    <message>
        <source>保存</source>
        <translation>保存</translation>
    </message>
    <message>
        <source>无法保存 %1：%2</source>
        <translation>无法保存 %1：%2</translation>
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
        <translation>无法创建录制文件夹 %1</translation>
    </message>
    <message>
        <source>无法写入录制文件 %1：%2</source>
        <translation>无法写入录制文件 %1：%2</translation>
    </message>
</context>
</TS>
