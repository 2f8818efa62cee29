<?xml version="1.0" encoding="utf-8"?>
<!DOCTYPE TS>
<TS version="2.1" language="en_US" sourcelanguage="zh_CN">
<context>
    <name>AppearanceSection</name>
    <message>
        <source>外观</source>
        <translation>Appearance</translation>
    </message>
    <message>
        <source>皮肤</source>
        <translation>Skin</translation>
    </message>
    <message>
        <source>语言</source>
        <translation>Language</translation>
    </message>
    <message>
        <source>个性色彩：电压、电流和功率使用自己的颜色</source>
        <translation>Personality Color: voltage, current and power in your own colours</translation>
    </message>
    <message>
        <source>电压颜色</source>
        <translation>Voltage colour</translation>
    </message>
    <message>
        <source>电流颜色</source>
        <translation>Current colour</translation>
    </message>
    <message>
        <source>功率颜色</source>
        <translation>Power colour</translation>
    </message>
</context>
<context>
    <name>BatteryLifeText</name>
    <message>
        <source>%1 分</source>
        <translation>%1 min</translation>
    </message>
    <message>
        <source>%1 天 %2 小时</source>
        <translation>%1 d %2 h</translation>
    </message>
    <message>
        <source>%1 小时 %2 分</source>
        <translation>%1 h %2 min</translation>
    </message>
    <message>
        <source>没有电流，无法估计电池续航</source>
        <translation>No current drawn: no battery life to estimate</translation>
    </message>
    <message>
        <source>按此平均电流，%1 mAh 的 %2 % 可用 %3</source>
        <translation>At this mean current, %2 % of %1 mAh lasts %3</translation>
    </message>
    <message>
        <source>按此平均电流，%1 mAh 可用 %2</source>
        <translation>At this mean current, %1 mAh lasts %2</translation>
    </message>
</context>
<context>
    <name>BatteryPanel</name>
    <message>
        <source>电池容量</source>
        <translation>Battery capacity</translation>
    </message>
    <message>
        <source>可用部分：截止电压、老化和低温使电池放不完</source>
        <translation>Usable part: the cut-off voltage, ageing and cold keep a battery from giving all of it</translation>
    </message>
    <message>
        <source>选区为工作段</source>
        <translation>Selection is active</translation>
    </message>
    <message>
        <source>选区为休眠段</source>
        <translation>Selection is asleep</translation>
    </message>
    <message>
        <source>工作段所占的时间</source>
        <translation>Share of the time the device is active</translation>
    </message>
    <message>
        <source>选区</source>
        <translation>Selection</translation>
    </message>
    <message>
        <source>整个记录</source>
        <translation>Whole recording</translation>
    </message>
    <message>
        <source>选取一段工作和一段休眠，按占空比估计续航</source>
        <translation>Select an active and a sleeping stretch to estimate battery life by duty cycle</translation>
    </message>
    <message>
        <source>工作 %1 mA · 休眠 %2 mA · 平均 %3 mA · %4</source>
        <translation>Active %1 mA · asleep %2 mA · mean %3 mA · %4</translation>
    </message>
    <message>
        <source>放电至截止（%1）：电荷 %2 mAh · 能量 %3 mWh（%4 Wh）</source>
        <translation>Discharged to the cut-off (%1): charge %2 mAh · energy %3 mWh (%4 Wh)</translation>
    </message>
</context>
<context>
    <name>ComparePage</name>
    <message>
        <source>对比：各记录自其开始计时</source>
        <translation>Compare: each run timed from its own start</translation>
    </message>
    <message>
        <source>全部显示</source>
        <translation>Show all</translation>
    </message>
    <message>
        <source>复制表格</source>
        <translation>Copy table</translation>
    </message>
    <message>
        <source>文件</source>
        <translation>File</translation>
    </message>
    <message>
        <source>时长 (s)</source>
        <translation>Duration (s)</translation>
    </message>
    <message>
        <source>平均电流 (mA)</source>
        <translation>Mean current (mA)</translation>
    </message>
    <message>
        <source>最大电流 (mA)</source>
        <translation>Max current (mA)</translation>
    </message>
    <message>
        <source>平均电压 (V)</source>
        <translation>Mean voltage (V)</translation>
    </message>
    <message>
        <source>电荷 (mAh)</source>
        <translation>Charge (mAh)</translation>
    </message>
    <message>
        <source>能量 (mWh)</source>
        <translation>Energy (mWh)</translation>
    </message>
    <message>
        <source>标记</source>
        <translation>Markers</translation>
    </message>
    <message>
        <source>在可见范围中放两条标记线，拖动它们选取一段，表中显示各记录这一段的数值</source>
        <translation>Places two marker lines in the visible range; drag them to select a stretch, and the table shows each run&apos;s figures for it</translation>
    </message>
    <message>
        <source>对比：各记录自其开始计时 · 表中为选区内的数值</source>
        <translation>Compare: each run timed from its own start · the table shows the selection</translation>
    </message>
</context>
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
    <message>
        <source>回放中</source>
        <translation>Playback</translation>
    </message>
</context>
<context>
    <name>DisplaySection</name>
    <message>
        <source>显示</source>
        <translation>Display</translation>
    </message>
    <message>
        <source>实时曲线每屏宽秒数</source>
        <translation>Seconds of live curve per width</translation>
    </message>
    <message>
        <source>自动（按宽度）</source>
        <translation>Automatic (from the width)</translation>
    </message>
    <message>
        <source> 秒</source>
        <translation> s</translation>
    </message>
    <message>
        <source>减少动画：指针直接跳到每个读数，不再摆动</source>
        <translation>Reduce motion: the needle jumps to each reading instead of sweeping</translation>
    </message>
</context>
<context>
    <name>EventText</name>
    <message>
        <source>开始录制</source>
        <translation>Recording started</translation>
    </message>
    <message>
        <source>停止录制</source>
        <translation>Recording stopped</translation>
    </message>
    <message>
        <source>电流表拔出</source>
        <translation>Meter unplugged</translation>
    </message>
    <message>
        <source>电流表接回</source>
        <translation>Meter back</translation>
    </message>
    <message>
        <source>电流表无应答</source>
        <translation>Meter silent</translation>
    </message>
    <message>
        <source>电流表恢复应答</source>
        <translation>Meter answers again</translation>
    </message>
    <message>
        <source>到达停止条件</source>
        <translation>Stop condition reached</translation>
    </message>
    <message>
        <source>超过限值</source>
        <translation>Limit exceeded</translation>
    </message>
    <message>
        <source>标记</source>
        <translation>Markers</translation>
    </message>
    <message>
        <source>%1：%2</source>
        <translation>%1: %2</translation>
    </message>
</context>
<context>
    <name>KestravonSingleCurrentCustomPlot</name>
    <message>
        <source>已暂停 · 跟随最新</source>
        <translation>Paused · Follow latest</translation>
    </message>
    <message>
        <source>双击曲线也可恢复跟随</source>
        <translation>A double click on the curve follows again too</translation>
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
        <source>  电流表上位机管理软件</source>
        <translation>  Ampere meter upper computer management software</translation>
    </message>
</context>
<context>
    <name>MeterTiles</name>
    <message>
        <source>%1：单击在页面上显示，右键命名</source>
        <translation>%1: click to show it on the pages, right-click to name it</translation>
    </message>
    <message>
        <source>已拔出</source>
        <translation>unplugged</translation>
    </message>
    <message>
        <source>电流表名称</source>
        <translation>Meter name</translation>
    </message>
    <message>
        <source>%1 的名称（留空则用序列号）：</source>
        <translation>Name of %1 (empty: its serial number):</translation>
    </message>
</context>
<context>
    <name>PlaybackPage</name>
    <message>
        <source>电压</source>
        <translation>Voltage</translation>
    </message>
    <message>
        <source>功率</source>
        <translation>Power</translation>
    </message>
    <message>
        <source>全部显示</source>
        <translation>Show all</translation>
    </message>
    <message>
        <source>在实时页面回放</source>
        <translation>Replay on live pages</translation>
    </message>
    <message>
        <source>把记录当作电流表的测量送到曲线、指针和组合页面</source>
        <translation>Feeds the recording to the curve, needle and combined pages as if it came from the meter</translation>
    </message>
    <message>
        <source>双击曲线也可显示整个记录；按住 Shift 拖动可选取一段</source>
        <translation>A double click on the curve shows the whole run too; drag with Shift to select a stretch</translation>
    </message>
    <message>
        <source>回放：请选择一个记录文件</source>
        <translation>Playback: choose a recording</translation>
    </message>
    <message>
        <source>%1 · 开始于 %2 · 时长 %3</source>
        <translation>%1 · started %2 · duration %3</translation>
    </message>
    <message>
        <source> · 最后一行不完整，已跳过</source>
        <translation> · last row incomplete, skipped</translation>
    </message>
    <message>
        <source>时长 %1 · %2 行 · 电荷 %3 mAh · 能量 %4 mWh
最小 / 平均 / 最大：电压 %5 V · 电流 %6 mA · 功率 %7 W</source>
        <translation>Duration %1 · %2 rows · charge %3 mAh · energy %4 mWh
Min / mean / max: voltage %5 V · current %6 mA · power %7 W</translation>
    </message>
    <message>
        <source>选区</source>
        <translation>Selection</translation>
    </message>
    <message>
        <source>可见范围</source>
        <translation>Visible range</translation>
    </message>
    <message>
        <source>标记</source>
        <translation>Markers</translation>
    </message>
    <message>
        <source>在可见范围中放两条标记线，拖动它们选取一段，下方显示这一段的数值</source>
        <translation>Places two marker lines in the visible range; drag them to select a stretch, and its figures appear below</translation>
    </message>
    <message>
        <source>固定纵轴</source>
        <translation>Fix value axis</translation>
    </message>
    <message>
        <source>纵轴不再随可见数据缩放，可上下拖动；按住 Ctrl 转动滚轮可缩放纵轴</source>
        <translation>The value axis no longer follows the visible data and can be dragged up and down; Ctrl and the mouse wheel scale it</translation>
    </message>
    <message>
        <source>回放：正在读取 %1</source>
        <translation>Playback: reading %1</translation>
    </message>
    <message>
        <source>回放：正在读取 %1 · 时长 %2</source>
        <translation>Playback: reading %1 · duration %2</translation>
    </message>
</context>
<context>
    <name>QUIHelper</name>
    <message>
        <source>银色</source>
        <translation>Silver</translation>
    </message>
    <message>
        <source>蓝色</source>
        <translation>Blue</translation>
    </message>
    <message>
        <source>浅蓝色</source>
        <translation>Light blue</translation>
    </message>
    <message>
        <source>深蓝色</source>
        <translation>Dark blue</translation>
    </message>
    <message>
        <source>灰色</source>
        <translation>Gray</translation>
    </message>
    <message>
        <source>浅灰色</source>
        <translation>Light gray</translation>
    </message>
    <message>
        <source>深灰色</source>
        <translation>Dark gray</translation>
    </message>
    <message>
        <source>黑色</source>
        <translation>Black</translation>
    </message>
    <message>
        <source>浅黑色</source>
        <translation>Light black</translation>
    </message>
    <message>
        <source>深黑色</source>
        <translation>Dark black</translation>
    </message>
    <message>
        <source>PS黑色</source>
        <translation>PS black</translation>
    </message>
    <message>
        <source>黑色扁平</source>
        <translation>Flat black</translation>
    </message>
    <message>
        <source>白色扁平</source>
        <translation>Flat white</translation>
    </message>
    <message>
        <source>深蓝色1</source>
        <translation>Dark blue 1</translation>
    </message>
    <message>
        <source>深黑色1</source>
        <translation>Dark black 1</translation>
    </message>
    <message>
        <source>深黑色2</source>
        <translation>Dark black 2</translation>
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
    <name>RecordingPages</name>
    <message>
        <source>回放记录</source>
        <translation>Play back a recording</translation>
    </message>
    <message>
        <source>记录 (*.csv *.jsonl);;所有文件 (*)</source>
        <translation>Recordings (*.csv *.jsonl);;All files (*)</translation>
    </message>
    <message>
        <source>选择 2 到 4 个记录进行对比</source>
        <translation>Choose 2 to 4 recordings to compare</translation>
    </message>
    <message>
        <source>请选择 2 到 4 个记录进行对比。</source>
        <translation>Please choose 2 to 4 recordings to compare.</translation>
    </message>
</context>
<context>
    <name>RecordingSection</name>
    <message>
        <source>录制文件夹</source>
        <translation>Recordings folder</translation>
    </message>
    <message>
        <source>录制</source>
        <translation>Recording</translation>
    </message>
    <message>
        <source>浏览…</source>
        <translation>Browse…</translation>
    </message>
    <message>
        <source>文件格式</source>
        <translation>File format</translation>
    </message>
    <message>
        <source>自动停止</source>
        <translation>Stop by itself</translation>
    </message>
    <message>
        <source>条件须持续这么久才停止录制，一个噪声样本不会结束测试</source>
        <translation>The condition must hold this long before the recording stops, so one noisy sample does not end a test</translation>
    </message>
</context>
<context>
    <name>ReplayBar</name>
    <message>
        <source>继续</source>
        <translation>Resume</translation>
    </message>
    <message>
        <source>暂停</source>
        <translation>Pause</translation>
    </message>
    <message>
        <source>回放速度</source>
        <translation>Replay speed</translation>
    </message>
    <message>
        <source>返回实时</source>
        <translation>Back to live</translation>
    </message>
    <message>
        <source>结束回放，页面重新显示电流表的测量</source>
        <translation>Ends the replay; the pages show the meter&apos;s measurements again</translation>
    </message>
</context>
<context>
    <name>RunLoadBar</name>
    <message>
        <source>%1 不是电流表的记录：第 %2 行不是测量数据。</source>
        <translation>%1 is not an ammeter recording: line %2 is not a measurement.</translation>
    </message>
    <message>
        <source>%1 中没有测量数据。</source>
        <translation>%1 holds no measurements.</translation>
    </message>
    <message>
        <source>无法读取 %1。</source>
        <translation>Cannot read %1.</translation>
    </message>
    <message>
        <source>正在读取 %p%</source>
        <translation>Reading %p%</translation>
    </message>
    <message>
        <source>取消</source>
        <translation>Cancel</translation>
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
    <message>
        <source>%1，磁盘剩余 %2</source>
        <translation>%1, %2 left on the disk</translation>
    </message>
    <message>
        <source>，不足一小时</source>
        <translation>, less than an hour</translation>
    </message>
    <message>
        <source>标记</source>
        <translation>Markers</translation>
    </message>
    <message>
        <source>在录制中记下此刻，附上左边的说明（Ctrl+M）</source>
        <translation>Mark this moment of the recording, with the text on the left (Ctrl+M)</translation>
    </message>
    <message>
        <source>说明</source>
        <translation>Note</translation>
    </message>
    <message>
        <source>录制至%1</source>
        <translation>Recording until %1</translation>
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
    <message>
        <source>%1 已存在，要替换它吗？</source>
        <translation>%1 already exists. Replace it?</translation>
    </message>
    <message>
        <source>正在保存 %1</source>
        <translation>Saving %1</translation>
    </message>
    <message>
        <source>取消</source>
        <translation>Cancel</translation>
    </message>
    <message>
        <source>%1 含 %2 起的测量；更早的测量窗口只保留了概览，未写入。</source>
        <translation>%1 holds the measurements from %2 on; the window kept only an overview of earlier ones, which is not written.</translation>
    </message>
</context>
<context>
    <name>ServicesSection</name>
    <message>
        <source>密码文件</source>
        <translation>Password file</translation>
    </message>
    <message>
        <source>代理地址应为 mqtt://主机[:端口]/前缀 或 mqtts://主机[:端口]/前缀，不含用户名和密码；在改正之前不发布。</source>
        <translation>The broker address takes the form mqtt://host[:port]/prefix or mqtts://host[:port]/prefix, without user name or password; nothing is published until it is corrected.</translation>
    </message>
    <message>
        <source>无法读取密码文件：第一行应为用户名，第二行为密码；在改正之前不发布。</source>
        <translation>The password file cannot be read: the user name goes on its first line, the password on its second; nothing is published until it is corrected.</translation>
    </message>
    <message>
        <source>服务</source>
        <translation>Services</translation>
    </message>
    <message>
        <source>把测量值发布到 MQTT 代理</source>
        <translation>Publish the measurements to an MQTT broker</translation>
    </message>
    <message>
        <source>代理地址</source>
        <translation>Broker address</translation>
    </message>
    <message>
        <source>浏览…</source>
        <translation>Browse…</translation>
    </message>
    <message>
        <source>无法读取 CA 证书文件 %1；在改正之前不发布。</source>
        <translation>Cannot read the CA certificate file %1; nothing is published until this is corrected.</translation>
    </message>
    <message>
        <source>其他用户可以读取密码文件 %1：请用 chmod 600 %1 使其仅归您所有。</source>
        <translation>Other users can read the password file %1: make it yours alone with chmod 600 %1.</translation>
    </message>
    <message>
        <source>用户名和密码将以明文发往 %1；mqtts:// 代理可以保护它们。</source>
        <translation>The user name and password go to %1 unencrypted; an mqtts:// broker would protect them.</translation>
    </message>
    <message>
        <source>CA 证书</source>
        <translation>CA certificate</translation>
    </message>
    <message>
        <source>mqtts:// 时使用；留空则用系统的证书</source>
        <translation>For mqtts://; empty: the system&apos;s certificates</translation>
    </message>
</context>
<context>
    <name>SettingsDialog</name>
    <message>
        <source>设置/服务</source>
        <translation>Settings/Services</translation>
    </message>
</context>
<context>
    <name>StopConditionText</name>
    <message>
        <source>不自动停止</source>
        <translation>no automatic stop</translation>
    </message>
    <message>
        <source>电压低于</source>
        <translation>voltage below</translation>
    </message>
    <message>
        <source>电流低于</source>
        <translation>current below</translation>
    </message>
    <message>
        <source>电荷达到</source>
        <translation>charge reaches</translation>
    </message>
    <message>
        <source>能量达到</source>
        <translation>energy reaches</translation>
    </message>
    <message>
        <source>%1 %2 %3</source>
        <translation>%1 %2 %3</translation>
    </message>
    <message>
        <source>录制已停止：%1（%2 %3），用时 %4</source>
        <translation>Recording stopped: %1 (%2 %3) after %4</translation>
    </message>
</context>
<context>
    <name>TitleBarFitter</name>
    <message>
        <source>更多</source>
        <translation>More</translation>
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
    <name>WindowPublisher</name>
    <message>
        <source>MQTT：设置有误，未发布</source>
        <translation>MQTT: settings incomplete, not publishing</translation>
    </message>
    <message>
        <source>MQTT：正在连接 %1</source>
        <translation>MQTT: connecting to %1</translation>
    </message>
    <message>
        <source>MQTT：正在发布到 %1</source>
        <translation>MQTT: publishing to %1</translation>
    </message>
    <message>
        <source>MQTT：未连接 %1（%2）</source>
        <translation>MQTT: no connection to %1 (%2)</translation>
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
