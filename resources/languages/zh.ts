<?xml version="1.0" encoding="utf-8"?>
<!DOCTYPE TS>
<TS version="2.1" language="zh_CN" sourcelanguage="zh_CN">
<context>
    <name>AppearanceSection</name>
    <message>
        <source>外观</source>
        <translation>外观</translation>
    </message>
    <message>
        <source>皮肤</source>
        <translation>皮肤</translation>
    </message>
    <message>
        <source>语言</source>
        <translation>语言</translation>
    </message>
    <message>
        <source>个性色彩：电压、电流和功率使用自己的颜色</source>
        <translation>个性色彩：电压、电流和功率使用自己的颜色</translation>
    </message>
    <message>
        <source>电压颜色</source>
        <translation>电压颜色</translation>
    </message>
    <message>
        <source>电流颜色</source>
        <translation>电流颜色</translation>
    </message>
    <message>
        <source>功率颜色</source>
        <translation>功率颜色</translation>
    </message>
</context>
<context>
    <name>BatteryLifeText</name>
    <message>
        <source>%1 分</source>
        <translation>%1 分</translation>
    </message>
    <message>
        <source>%1 天 %2 小时</source>
        <translation>%1 天 %2 小时</translation>
    </message>
    <message>
        <source>%1 小时 %2 分</source>
        <translation>%1 小时 %2 分</translation>
    </message>
    <message>
        <source>没有电流，无法估计电池续航</source>
        <translation>没有电流，无法估计电池续航</translation>
    </message>
    <message>
        <source>按此平均电流，%1 mAh 的 %2 % 可用 %3</source>
        <translation>按此平均电流，%1 mAh 的 %2 % 可用 %3</translation>
    </message>
    <message>
        <source>按此平均电流，%1 mAh 可用 %2</source>
        <translation>按此平均电流，%1 mAh 可用 %2</translation>
    </message>
</context>
<context>
    <name>BatteryPanel</name>
    <message>
        <source>电池容量</source>
        <translation>电池容量</translation>
    </message>
    <message>
        <source>可用部分：截止电压、老化和低温使电池放不完</source>
        <translation>可用部分：截止电压、老化和低温使电池放不完</translation>
    </message>
    <message>
        <source>选区为工作段</source>
        <translation>选区为工作段</translation>
    </message>
    <message>
        <source>选区为休眠段</source>
        <translation>选区为休眠段</translation>
    </message>
    <message>
        <source>工作段所占的时间</source>
        <translation>工作段所占的时间</translation>
    </message>
    <message>
        <source>选区</source>
        <translation>选区</translation>
    </message>
    <message>
        <source>整个记录</source>
        <translation>整个记录</translation>
    </message>
    <message>
        <source>选取一段工作和一段休眠，按占空比估计续航</source>
        <translation>选取一段工作和一段休眠，按占空比估计续航</translation>
    </message>
    <message>
        <source>工作 %1 mA · 休眠 %2 mA · 平均 %3 mA · %4</source>
        <translation>工作 %1 mA · 休眠 %2 mA · 平均 %3 mA · %4</translation>
    </message>
    <message>
        <source>放电至截止（%1）：电荷 %2 mAh · 能量 %3 mWh（%4 Wh）</source>
        <translation>放电至截止（%1）：电荷 %2 mAh · 能量 %3 mWh（%4 Wh）</translation>
    </message>
</context>
<context>
    <name>ComparePage</name>
    <message>
        <source>对比：各记录自其开始计时</source>
        <translation>对比：各记录自其开始计时</translation>
    </message>
    <message>
        <source>全部显示</source>
        <translation>全部显示</translation>
    </message>
    <message>
        <source>复制表格</source>
        <translation>复制表格</translation>
    </message>
    <message>
        <source>文件</source>
        <translation>文件</translation>
    </message>
    <message>
        <source>时长 (s)</source>
        <translation>时长 (s)</translation>
    </message>
    <message>
        <source>平均电流 (mA)</source>
        <translation>平均电流 (mA)</translation>
    </message>
    <message>
        <source>最大电流 (mA)</source>
        <translation>最大电流 (mA)</translation>
    </message>
    <message>
        <source>平均电压 (V)</source>
        <translation>平均电压 (V)</translation>
    </message>
    <message>
        <source>电荷 (mAh)</source>
        <translation>电荷 (mAh)</translation>
    </message>
    <message>
        <source>能量 (mWh)</source>
        <translation>能量 (mWh)</translation>
    </message>
    <message>
        <source>标记</source>
        <translation>标记</translation>
    </message>
    <message>
        <source>在可见范围中放两条标记线，拖动它们选取一段，表中显示各记录这一段的数值</source>
        <translation>在可见范围中放两条标记线，拖动它们选取一段，表中显示各记录这一段的数值</translation>
    </message>
    <message>
        <source>对比：各记录自其开始计时 · 表中为选区内的数值</source>
        <translation>对比：各记录自其开始计时 · 表中为选区内的数值</translation>
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
    <name>DeviceStateLabel</name>
    <message>
        <source>设备未连接</source>
        <translation>设备未连接</translation>
    </message>
    <message>
        <source>设备已连接</source>
        <translation>设备已连接</translation>
    </message>
    <message>
        <source>设备无响应</source>
        <translation>设备无响应</translation>
    </message>
    <message>
        <source>无权限访问 %1</source>
        <translation>无权限访问 %1</translation>
    </message>
    <message>
        <source>%1 被其他程序占用</source>
        <translation>%1 被其他程序占用</translation>
    </message>
    <message>
        <source>无法打开 %1</source>
        <translation>无法打开 %1</translation>
    </message>
    <message>
        <source>安装 udev 规则 70-ammeter.rules（见 README），或把用户加入 dialout 组并重新登录，然后重新插入电流表。</source>
        <translation>安装 udev 规则 70-ammeter.rules（见 README），或把用户加入 dialout 组并重新登录，然后重新插入电流表。</translation>
    </message>
    <message>
        <source>关闭占用该端口的程序，然后重新插入电流表。</source>
        <translation>关闭占用该端口的程序，然后重新插入电流表。</translation>
    </message>
    <message>
        <source>重新插入电流表。</source>
        <translation>重新插入电流表。</translation>
    </message>
    <message>
        <source>回放中</source>
        <translation>回放中</translation>
    </message>
</context>
<context>
    <name>DisplaySection</name>
    <message>
        <source>显示</source>
        <translation>显示</translation>
    </message>
    <message>
        <source>实时曲线每屏宽秒数</source>
        <translation>实时曲线每屏宽秒数</translation>
    </message>
    <message>
        <source>自动（按宽度）</source>
        <translation>自动（按宽度）</translation>
    </message>
    <message>
        <source> 秒</source>
        <translation> 秒</translation>
    </message>
    <message>
        <source>减少动画：指针直接跳到每个读数，不再摆动</source>
        <translation>减少动画：指针直接跳到每个读数，不再摆动</translation>
    </message>
</context>
<context>
    <name>EventText</name>
    <message>
        <source>开始录制</source>
        <translation>开始录制</translation>
    </message>
    <message>
        <source>停止录制</source>
        <translation>停止录制</translation>
    </message>
    <message>
        <source>电流表拔出</source>
        <translation>电流表拔出</translation>
    </message>
    <message>
        <source>电流表接回</source>
        <translation>电流表接回</translation>
    </message>
    <message>
        <source>电流表无应答</source>
        <translation>电流表无应答</translation>
    </message>
    <message>
        <source>电流表恢复应答</source>
        <translation>电流表恢复应答</translation>
    </message>
    <message>
        <source>到达停止条件</source>
        <translation>到达停止条件</translation>
    </message>
    <message>
        <source>超过限值</source>
        <translation>超过限值</translation>
    </message>
    <message>
        <source>标记</source>
        <translation>标记</translation>
    </message>
    <message>
        <source>%1：%2</source>
        <translation>%1：%2</translation>
    </message>
</context>
<context>
    <name>KestravonSingleCurrentCustomPlot</name>
    <message>
        <source>已暂停 · 跟随最新</source>
        <translation>已暂停 · 跟随最新</translation>
    </message>
    <message>
        <source>双击曲线也可恢复跟随</source>
        <translation>双击曲线也可恢复跟随</translation>
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
        <source>  电流表上位机管理软件</source>
        <translation>  电流表上位机管理软件</translation>
    </message>
</context>
<context>
    <name>MeterTiles</name>
    <message>
        <source>%1：单击在页面上显示，右键命名</source>
        <translation>%1：单击在页面上显示，右键命名</translation>
    </message>
    <message>
        <source>已拔出</source>
        <translation>已拔出</translation>
    </message>
    <message>
        <source>电流表名称</source>
        <translation>电流表名称</translation>
    </message>
    <message>
        <source>%1 的名称（留空则用序列号）：</source>
        <translation>%1 的名称（留空则用序列号）：</translation>
    </message>
</context>
<context>
    <name>PlaybackPage</name>
    <message>
        <source>电压</source>
        <translation>电压</translation>
    </message>
    <message>
        <source>功率</source>
        <translation>功率</translation>
    </message>
    <message>
        <source>全部显示</source>
        <translation>全部显示</translation>
    </message>
    <message>
        <source>在实时页面回放</source>
        <translation>在实时页面回放</translation>
    </message>
    <message>
        <source>把记录当作电流表的测量送到曲线、指针和组合页面</source>
        <translation>把记录当作电流表的测量送到曲线、指针和组合页面</translation>
    </message>
    <message>
        <source>双击曲线也可显示整个记录；按住 Shift 拖动可选取一段</source>
        <translation>双击曲线也可显示整个记录；按住 Shift 拖动可选取一段</translation>
    </message>
    <message>
        <source>回放：请选择一个记录文件</source>
        <translation>回放：请选择一个记录文件</translation>
    </message>
    <message>
        <source>%1 · 开始于 %2 · 时长 %3</source>
        <translation>%1 · 开始于 %2 · 时长 %3</translation>
    </message>
    <message>
        <source> · 最后一行不完整，已跳过</source>
        <translation> · 最后一行不完整，已跳过</translation>
    </message>
    <message>
        <source>时长 %1 · %2 行 · 电荷 %3 mAh · 能量 %4 mWh
最小 / 平均 / 最大：电压 %5 V · 电流 %6 mA · 功率 %7 W</source>
        <translation>时长 %1 · %2 行 · 电荷 %3 mAh · 能量 %4 mWh
最小 / 平均 / 最大：电压 %5 V · 电流 %6 mA · 功率 %7 W</translation>
    </message>
    <message>
        <source>选区</source>
        <translation>选区</translation>
    </message>
    <message>
        <source>可见范围</source>
        <translation>可见范围</translation>
    </message>
    <message>
        <source>标记</source>
        <translation>标记</translation>
    </message>
    <message>
        <source>在可见范围中放两条标记线，拖动它们选取一段，下方显示这一段的数值</source>
        <translation>在可见范围中放两条标记线，拖动它们选取一段，下方显示这一段的数值</translation>
    </message>
    <message>
        <source>固定纵轴</source>
        <translation>固定纵轴</translation>
    </message>
    <message>
        <source>纵轴不再随可见数据缩放，可上下拖动；按住 Ctrl 转动滚轮可缩放纵轴</source>
        <translation>纵轴不再随可见数据缩放，可上下拖动；按住 Ctrl 转动滚轮可缩放纵轴</translation>
    </message>
    <message>
        <source>回放：正在读取 %1</source>
        <translation>回放：正在读取 %1</translation>
    </message>
    <message>
        <source>回放：正在读取 %1 · 时长 %2</source>
        <translation>回放：正在读取 %1 · 时长 %2</translation>
    </message>
</context>
<context>
    <name>QUIHelper</name>
    <message>
        <source>银色</source>
        <translation>银色</translation>
    </message>
    <message>
        <source>蓝色</source>
        <translation>蓝色</translation>
    </message>
    <message>
        <source>浅蓝色</source>
        <translation>浅蓝色</translation>
    </message>
    <message>
        <source>深蓝色</source>
        <translation>深蓝色</translation>
    </message>
    <message>
        <source>灰色</source>
        <translation>灰色</translation>
    </message>
    <message>
        <source>浅灰色</source>
        <translation>浅灰色</translation>
    </message>
    <message>
        <source>深灰色</source>
        <translation>深灰色</translation>
    </message>
    <message>
        <source>黑色</source>
        <translation>黑色</translation>
    </message>
    <message>
        <source>浅黑色</source>
        <translation>浅黑色</translation>
    </message>
    <message>
        <source>深黑色</source>
        <translation>深黑色</translation>
    </message>
    <message>
        <source>PS黑色</source>
        <translation>PS黑色</translation>
    </message>
    <message>
        <source>黑色扁平</source>
        <translation>黑色扁平</translation>
    </message>
    <message>
        <source>白色扁平</source>
        <translation>白色扁平</translation>
    </message>
    <message>
        <source>深蓝色1</source>
        <translation>深蓝色1</translation>
    </message>
    <message>
        <source>深黑色1</source>
        <translation>深黑色1</translation>
    </message>
    <message>
        <source>深黑色2</source>
        <translation>深黑色2</translation>
    </message>
</context>
<context>
    <name>QUIMessageBox</name>
    <message>
        <source>YES</source>
        <translation>YES</translation>
    </message>
    <message>
        <source>NO</source>
        <translation>NO</translation>
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
    <name>RecordingPages</name>
    <message>
        <source>回放记录</source>
        <translation>回放记录</translation>
    </message>
    <message>
        <source>记录 (*.csv *.jsonl);;所有文件 (*)</source>
        <translation>记录 (*.csv *.jsonl);;所有文件 (*)</translation>
    </message>
    <message>
        <source>选择 2 到 4 个记录进行对比</source>
        <translation>选择 2 到 4 个记录进行对比</translation>
    </message>
    <message>
        <source>请选择 2 到 4 个记录进行对比。</source>
        <translation>请选择 2 到 4 个记录进行对比。</translation>
    </message>
</context>
<context>
    <name>RecordingSection</name>
    <message>
        <source>录制文件夹</source>
        <translation>录制文件夹</translation>
    </message>
    <message>
        <source>录制</source>
        <translation>录制</translation>
    </message>
    <message>
        <source>浏览…</source>
        <translation>浏览…</translation>
    </message>
    <message>
        <source>文件格式</source>
        <translation>文件格式</translation>
    </message>
    <message>
        <source>自动停止</source>
        <translation>自动停止</translation>
    </message>
    <message>
        <source>条件须持续这么久才停止录制，一个噪声样本不会结束测试</source>
        <translation>条件须持续这么久才停止录制，一个噪声样本不会结束测试</translation>
    </message>
</context>
<context>
    <name>ReplayBar</name>
    <message>
        <source>继续</source>
        <translation>继续</translation>
    </message>
    <message>
        <source>暂停</source>
        <translation>暂停</translation>
    </message>
    <message>
        <source>回放速度</source>
        <translation>回放速度</translation>
    </message>
    <message>
        <source>返回实时</source>
        <translation>返回实时</translation>
    </message>
    <message>
        <source>结束回放，页面重新显示电流表的测量</source>
        <translation>结束回放，页面重新显示电流表的测量</translation>
    </message>
</context>
<context>
    <name>RunLoadBar</name>
    <message>
        <source>%1 不是电流表的记录：第 %2 行不是测量数据。</source>
        <translation>%1 不是电流表的记录：第 %2 行不是测量数据。</translation>
    </message>
    <message>
        <source>%1 中没有测量数据。</source>
        <translation>%1 中没有测量数据。</translation>
    </message>
    <message>
        <source>无法读取 %1。</source>
        <translation>无法读取 %1。</translation>
    </message>
    <message>
        <source>正在读取 %p%</source>
        <translation>正在读取 %p%</translation>
    </message>
    <message>
        <source>取消</source>
        <translation>取消</translation>
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
    <message>
        <source>标记</source>
        <translation>标记</translation>
    </message>
    <message>
        <source>在录制中记下此刻，附上左边的说明（Ctrl+M）</source>
        <translation>在录制中记下此刻，附上左边的说明（Ctrl+M）</translation>
    </message>
    <message>
        <source>说明</source>
        <translation>说明</translation>
    </message>
    <message>
        <source>录制至%1</source>
        <translation>录制至%1</translation>
    </message>
    <message>
        <source>%1，磁盘剩余 %2</source>
        <translation>%1，磁盘剩余 %2</translation>
    </message>
    <message>
        <source>，不足一小时</source>
        <translation>，不足一小时</translation>
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
    <message>
        <source>%1 已存在，要替换它吗？</source>
        <translation>%1 已存在，要替换它吗？</translation>
    </message>
    <message>
        <source>正在保存 %1</source>
        <translation>正在保存 %1</translation>
    </message>
    <message>
        <source>取消</source>
        <translation>取消</translation>
    </message>
    <message>
        <source>%1 含 %2 起的测量；更早的测量窗口只保留了概览，未写入。</source>
        <translation>%1 含 %2 起的测量；更早的测量窗口只保留了概览，未写入。</translation>
    </message>
</context>
<context>
    <name>ServicesSection</name>
    <message>
        <source>密码文件</source>
        <translation>密码文件</translation>
    </message>
    <message>
        <source>代理地址应为 mqtt://主机[:端口]/前缀 或 mqtts://主机[:端口]/前缀，不含用户名和密码；在改正之前不发布。</source>
        <translation>代理地址应为 mqtt://主机[:端口]/前缀 或 mqtts://主机[:端口]/前缀，不含用户名和密码；在改正之前不发布。</translation>
    </message>
    <message>
        <source>无法读取密码文件：第一行应为用户名，第二行为密码；在改正之前不发布。</source>
        <translation>无法读取密码文件：第一行应为用户名，第二行为密码；在改正之前不发布。</translation>
    </message>
    <message>
        <source>服务</source>
        <translation>服务</translation>
    </message>
    <message>
        <source>把测量值发布到 MQTT 代理</source>
        <translation>把测量值发布到 MQTT 代理</translation>
    </message>
    <message>
        <source>代理地址</source>
        <translation>代理地址</translation>
    </message>
    <message>
        <source>浏览…</source>
        <translation>浏览…</translation>
    </message>
    <message>
        <source>无法读取 CA 证书文件 %1；在改正之前不发布。</source>
        <translation>无法读取 CA 证书文件 %1；在改正之前不发布。</translation>
    </message>
    <message>
        <source>其他用户可以读取密码文件 %1：请用 chmod 600 %1 使其仅归您所有。</source>
        <translation>其他用户可以读取密码文件 %1：请用 chmod 600 %1 使其仅归您所有。</translation>
    </message>
    <message>
        <source>用户名和密码将以明文发往 %1；mqtts:// 代理可以保护它们。</source>
        <translation>用户名和密码将以明文发往 %1；mqtts:// 代理可以保护它们。</translation>
    </message>
    <message>
        <source>CA 证书</source>
        <translation>CA 证书</translation>
    </message>
    <message>
        <source>mqtts:// 时使用；留空则用系统的证书</source>
        <translation>mqtts:// 时使用；留空则用系统的证书</translation>
    </message>
</context>
<context>
    <name>SettingsDialog</name>
    <message>
        <source>设置/服务</source>
        <translation>设置/服务</translation>
    </message>
</context>
<context>
    <name>StopConditionText</name>
    <message>
        <source>不自动停止</source>
        <translation>不自动停止</translation>
    </message>
    <message>
        <source>电压低于</source>
        <translation>电压低于</translation>
    </message>
    <message>
        <source>电流低于</source>
        <translation>电流低于</translation>
    </message>
    <message>
        <source>电荷达到</source>
        <translation>电荷达到</translation>
    </message>
    <message>
        <source>能量达到</source>
        <translation>能量达到</translation>
    </message>
    <message>
        <source>%1 %2 %3</source>
        <translation>%1 %2 %3</translation>
    </message>
    <message>
        <source>录制已停止：%1（%2 %3），用时 %4</source>
        <translation>录制已停止：%1（%2 %3），用时 %4</translation>
    </message>
</context>
<context>
    <name>TitleBarFitter</name>
    <message>
        <source>更多</source>
        <translation>更多</translation>
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
        <translation>MQTT：设置有误，未发布</translation>
    </message>
    <message>
        <source>MQTT：正在连接 %1</source>
        <translation>MQTT：正在连接 %1</translation>
    </message>
    <message>
        <source>MQTT：正在发布到 %1</source>
        <translation>MQTT：正在发布到 %1</translation>
    </message>
    <message>
        <source>MQTT：未连接 %1（%2）</source>
        <translation>MQTT：未连接 %1（%2）</translation>
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
