<?xml version="1.0" encoding="utf-8"?>
<!DOCTYPE TS>
<TS version="2.1" language="en" sourcelanguage="zh_CN">
<context>
    <name>Vorn</name>
    <message>
        <source>单机游戏</source>
        <translation>Local game</translation>
    </message>
    <message>
        <source>余牌:</source>
        <translation>Stock:</translation>
    </message>
    <message>
        <source>聊天记录(回车清空)</source>
        <translation>Chat (Enter clears)</translation>
    </message>
    <message>
        <source>发送文字(回车发送)</source>
        <translation>Message (Enter sends)</translation>
    </message>
    <message>
        <source>发送</source>
        <translation>Send</translation>
    </message>
    <message>
        <source>清空</source>
        <translation>Clear</translation>
    </message>
    <message>
        <source>玩家列表</source>
        <translation>Players</translation>
    </message>
    <message>
        <source>游戏(&amp;G)</source>
        <translation>&amp;Game</translation>
    </message>
    <message>
        <source>重置(&amp;R)</source>
        <translation>&amp;Reset</translation>
    </message>
    <message>
        <source>断开(&amp;B)</source>
        <translation>Dis&amp;connect</translation>
    </message>
    <message>
        <source>发牌(&amp;D)</source>
        <translation>&amp;Deal</translation>
    </message>
    <message>
        <source>提示(&amp;T)</source>
        <translation>&amp;Hint</translation>
    </message>
    <message>
        <source>退出(&amp;E)</source>
        <translation>E&amp;xit</translation>
    </message>
    <message>
        <source>设置(&amp;S)</source>
        <translation>&amp;Settings</translation>
    </message>
    <message>
        <source>姓名设置</source>
        <translation>Player &amp;Names...</translation>
    </message>
    <message>
        <source>牌桌设置</source>
        <translation>&amp;Table</translation>
    </message>
    <message>
        <source>方桌</source>
        <translation>&amp;Square</translation>
    </message>
    <message>
        <source>圆桌</source>
        <translation>&amp;Round</translation>
    </message>
    <message>
        <source>选项(&amp;S)</source>
        <translation>&amp;Options</translation>
    </message>
    <message>
        <source>游戏速度(&amp;R)</source>
        <translation>Game &amp;Speed</translation>
    </message>
    <message>
        <source>快速(&amp;F)</source>
        <translation>&amp;Fast</translation>
    </message>
    <message>
        <source>中速(&amp;N)</source>
        <translation>&amp;Normal</translation>
    </message>
    <message>
        <source>慢速(&amp;S)</source>
        <translation>&amp;Slow</translation>
    </message>
    <message>
        <source>电脑水平(&amp;L)</source>
        <translation>Computer &amp;Level</translation>
    </message>
    <message>
        <source>高(&amp;H)</source>
        <translation>&amp;High</translation>
    </message>
    <message>
        <source>中(&amp;M)</source>
        <translation>&amp;Medium</translation>
    </message>
    <message>
        <source>低(&amp;L)</source>
        <translation>&amp;Low</translation>
    </message>
    <message>
        <source>专家(&amp;E)</source>
        <translation>&amp;Expert</translation>
    </message>
    <message>
        <source>动画效果(&amp;A)</source>
        <translation>&amp;Animation</translation>
    </message>
    <message>
        <source>声音效果(&amp;W)</source>
        <translation>Sound &amp;Effects</translation>
    </message>
    <message>
        <source>四色牌(&amp;F)</source>
        <translation>&amp;Four-Colour Deck</translation>
    </message>
    <message>
        <source>保留桌面牌(&amp;K)</source>
        <translation>&amp;Keep Last Play Face Up</translation>
    </message>
    <message>
        <source>显示玩家列表(&amp;C)</source>
        <translation>Show &amp;Players</translation>
    </message>
    <message>
        <source>显示对话(&amp;M)</source>
        <translation>Show &amp;Chat</translation>
    </message>
    <message>
        <source>显示计分(&amp;S)</source>
        <translation>Show Sco&amp;re</translation>
    </message>
    <message>
        <source>查看(&amp;I)</source>
        <translation>&amp;View</translation>
    </message>
    <message>
        <source>本机名称(&amp;N)</source>
        <translation>Computer &amp;Name</translation>
    </message>
    <message>
        <source>本机IP(&amp;I)</source>
        <translation>&amp;IP Address</translation>
    </message>
    <message>
        <source>战绩(&amp;R)</source>
        <translation>&amp;Statistics...</translation>
    </message>
    <message>
        <source>帮助(&amp;H)</source>
        <translation>&amp;Help</translation>
    </message>
    <message>
        <source>主题(&amp;C)</source>
        <translation>&amp;Contents</translation>
    </message>
    <message>
        <source>搜索(&amp;S)</source>
        <translation>&amp;Search</translation>
    </message>
    <message>
        <source>Quillon主页(&amp;H)</source>
        <translation>Quillon &amp;Home Page</translation>
    </message>
    <message>
        <source>关于(&amp;A)</source>
        <translation>&amp;About Vorn</translation>
    </message>
    <message>
        <source>重置将断开现有连接，是否继续？</source>
        <translation>Resetting closes the current connections. Continue?</translation>
    </message>
    <message>
        <source>本机的名称是:</source>
        <translation>This computer&apos;s name is: </translation>
    </message>
    <message>
        <source>本机的IP地址是:</source>
        <translation>This computer&apos;s IP address is: </translation>
    </message>
    <message>
        <source>没有牌管得起</source>
        <translation>Nothing beats it</translation>
    </message>
    <message>
        <source>本局还没有结束，确定要退出吗？</source>
        <translation>This game is not over yet. Exit anyway?</translation>
    </message>
    <message>
        <source>战绩</source>
        <translation>Statistics</translation>
    </message>
    <message>
        <source>电脑水平高</source>
        <translation>Against High</translation>
    </message>
    <message>
        <source>电脑水平中</source>
        <translation>Against Medium</translation>
    </message>
    <message>
        <source>电脑水平低</source>
        <translation>Against Low</translation>
    </message>
    <message>
        <source>电脑水平专家</source>
        <translation>Against Expert</translation>
    </message>
    <message>
        <source>网络游戏</source>
        <translation>Network games</translation>
    </message>
    <message>
        <source>局数</source>
        <translation>Played</translation>
    </message>
    <message>
        <source>赢局</source>
        <translation>Won</translation>
    </message>
    <message>
        <source>失分</source>
        <translation>Points lost</translation>
    </message>
    <message>
        <source>每局失分</source>
        <translation>Points lost per game</translation>
    </message>
    <message>
        <source>最长连胜</source>
        <translation>Longest streak</translation>
    </message>
    <message>
        <source>当前连胜</source>
        <translation>Current streak</translation>
    </message>
    <message>
        <source>清除</source>
        <translation>Clear</translation>
    </message>
    <message>
        <source>清除全部战绩吗？</source>
        <translation>Clear all statistics?</translation>
    </message>
    <message>
        <source>不出</source>
        <translation>Pass</translation>
    </message>
    <message>
        <source>新一轮</source>
        <translation>New round</translation>
    </message>
    <message>
        <source>牌桌</source>
        <translation>Table</translation>
    </message>
    <message>
        <source>牌背</source>
        <translation>Card back</translation>
    </message>
    <message>
        <source>余牌</source>
        <translation>Stock</translation>
    </message>
    <message>
        <source>已出的牌</source>
        <translation>Played cards</translation>
    </message>
    <message>
        <source>出牌</source>
        <translation> plays</translation>
    </message>
    <message>
        <source> 赢得本局，并赢得下局的先出牌权！</source>
        <translation> wins this game and leads the next one!</translation>
    </message>
    <message>
        <source>开始下一局吗？</source>
        <translation> Start the next game?</translation>
    </message>
    <message>
        <source> 失分</source>
        <translation> lost</translation>
    </message>
    <message>
        <source>牌局：</source>
        <translation>Table: </translation>
    </message>
    <message>
        <source>进程：</source>
        <translation>Status: </translation>
    </message>
    <message>
        <source>本局由%1先出牌</source>
        <translation>%1 leads this game</translation>
    </message>
    <message>
        <source>所选牌不符合牌型规则！</source>
        <translation>The selected cards do not make a valid play!</translation>
    </message>
    <message>
        <source>&quot;2&quot;不能与其他牌组合牌型！</source>
        <translation>A &quot;2&quot; cannot be combined with other cards!</translation>
    </message>
    <message>
        <source>你先出牌，不能 PASS，可选任意牌型！</source>
        <translation>You lead, so you cannot PASS: play any combination!</translation>
    </message>
    <message>
        <source>所选牌管不起当前牌型。</source>
        <translation>The selected cards do not beat the play on the table. </translation>
    </message>
    <message>
        <source>当前牌型已是最大的！</source>
        <translation>The play on the table cannot be beaten!</translation>
    </message>
    <message>
        <source>按规则应出“</source>
        <translation>The rules call for “</translation>
    </message>
    <message>
        <source>”或“</source>
        <translation>” or “</translation>
    </message>
    <message>
        <source>”！</source>
        <translation>”!</translation>
    </message>
    <message>
        <source>人数已够，连线断开</source>
        <translation>The table is full; the connection is closed</translation>
    </message>
    <message>
        <source> 走了，游戏结束！</source>
        <translation> has left. The game is over!</translation>
    </message>
    <message>
        <source> 来了</source>
        <translation> has joined</translation>
    </message>
    <message>
        <source> 走了</source>
        <translation> has left</translation>
    </message>
    <message>
        <source>人已到齐，游戏开始</source>
        <translation>Everyone is here. The game begins</translation>
    </message>
    <message>
        <source>主机建立</source>
        <translation>Hosting</translation>
    </message>
    <message>
        <source>申请连接...</source>
        <translation>Connecting...</translation>
    </message>
    <message>
        <source>端口 </source>
        <translation>Port </translation>
    </message>
    <message>
        <source> 需要管理员权限才能使用。请选择 1024 或以上的端口。</source>
        <translation> needs administrator rights. Please choose a port of 1024 or above.</translation>
    </message>
    <message>
        <source>,检查主机地址和连接端口，重新尝试连接!</source>
        <translation>. Check the host&apos;s address and the port, then try again!</translation>
    </message>
    <message>
        <source>最后出牌者还剩一两张牌，必管</source>
        <translation>The last player has one or two cards left: must beat</translation>
    </message>
    <message>
        <source>下两家有人还剩一两张牌，赌管</source>
        <translation>One of the next two players has one or two cards left: gamble</translation>
    </message>
    <message>
        <source>牌数相同者在下手，赌管</source>
        <translation>A player with as many cards plays after us: gamble</translation>
    </message>
    <message>
        <source>有人在顺牌，必管</source>
        <translation>Someone is running out their cards: must beat</translation>
    </message>
    <message>
        <source>单张非2，必管</source>
        <translation>Single below 2: must beat</translation>
    </message>
    <message>
        <source>单张非2，赌管</source>
        <translation>Single below 2: gamble</translation>
    </message>
    <message>
        <source>上手可出完，必管</source>
        <translation>Can go out after leading: must beat</translation>
    </message>
    <message>
        <source>全是2，必管</source>
        <translation>All twos: must beat</translation>
    </message>
    <message>
        <source>牌不错，必管</source>
        <translation>Good hand: must beat</translation>
    </message>
    <message>
        <source>不成形牌，必管</source>
        <translation>Loose card: must beat</translation>
    </message>
    <message>
        <source>成形牌，赌管或逼管</source>
        <translation>Part of a combination: gamble or force</translation>
    </message>
    <message>
        <source>关于</source>
        <translation>About Vorn</translation>
    </message>
    <message>
        <source>四人出牌游戏：单机对战电脑，或四人连线对局。</source>
        <translation>A four-player shedding card game: play the computer alone, or four people over a network.</translation>
    </message>
    <message>
        <source>Vorn 帮助</source>
        <translation>Vorn Help</translation>
    </message>
    <message>
        <source>先输入姓名，再进入连线游戏！</source>
        <translation>Enter your name before joining a network game!</translation>
    </message>
    <message>
        <source>连接端口应为与对方相同的正整数！</source>
        <translation>The port must be a whole number, the same as the other players&apos;!</translation>
    </message>
    <message>
        <source>登录</source>
        <translation>Log On</translation>
    </message>
    <message>
        <source>游戏模式</source>
        <translation>Game mode</translation>
    </message>
    <message>
        <source>连线游戏</source>
        <translation>Network game</translation>
    </message>
    <message>
        <source>连线模式</source>
        <translation>Network mode</translation>
    </message>
    <message>
        <source>我作主机</source>
        <translation>Host a game</translation>
    </message>
    <message>
        <source>加入牌局</source>
        <translation>Join a game</translation>
    </message>
    <message>
        <source>连线选项</source>
        <translation>Network options</translation>
    </message>
    <message>
        <source>主机名称</source>
        <translation>Host name</translation>
    </message>
    <message>
        <source>阁下姓名</source>
        <translation>Your name</translation>
    </message>
    <message>
        <source>游戏端口</source>
        <translation>Port</translation>
    </message>
    <message>
        <source>确定</source>
        <translation>OK</translation>
    </message>
    <message>
        <source>单机对局者姓名</source>
        <translation>Player Names</translation>
    </message>
    <message>
        <source>东家姓名</source>
        <translation>East player</translation>
    </message>
    <message>
        <source>北家姓名</source>
        <translation>North player</translation>
    </message>
    <message>
        <source>西家姓名</source>
        <translation>West player</translation>
    </message>
    <message>
        <source>取消</source>
        <translation>Cancel</translation>
    </message>
    <message>
        <source>对局者姓名无效！</source>
        <translation>A player&apos;s name is missing!</translation>
    </message>
    <message>
        <source>%1 剩 %2 张</source>
        <translation>%1, cards left: %2</translation>
    </message>
    <message>
        <source>梅花%1</source>
        <translation>%1 of Clubs</translation>
    </message>
    <message>
        <source>方块%1</source>
        <translation>%1 of Diamonds</translation>
    </message>
    <message>
        <source>红桃%1</source>
        <translation>%1 of Hearts</translation>
    </message>
    <message>
        <source>黑桃%1</source>
        <translation>%1 of Spades</translation>
    </message>
    <message>
        <source>J</source>
        <translation>Jack</translation>
    </message>
    <message>
        <source>Q</source>
        <translation>Queen</translation>
    </message>
    <message>
        <source>K</source>
        <translation>King</translation>
    </message>
    <message>
        <source>A</source>
        <translation>Ace</translation>
    </message>
    <message>
        <source>牌局</source>
        <translation>Table</translation>
    </message>
    <message>
        <source>进程</source>
        <translation>Status</translation>
    </message>
    <message>
        <source>English / 中文</source>
        <translation>English / 中文</translation>
    </message>
    <message>
        <source>新一轮由%1先出牌</source>
        <translation>New round: %1 leads</translation>
    </message>
    <message>
        <source>有人掉线即结束游戏</source>
        <translation>End the game when a player drops out</translation>
    </message>
    <message>
        <source>电脑代打</source>
        <translation>Computer</translation>
    </message>
    <message>
        <source> 掉线，电脑代打</source>
        <translation> dropped out; the computer plays on</translation>
    </message>
    <message>
        <source>空位由电脑补齐</source>
        <translation>Computer players fill the empty seats</translation>
    </message>
    <message>
        <source>电脑水平</source>
        <translation>Computer level</translation>
    </message>
    <message>
        <source>空位</source>
        <translation>Empty seat</translation>
    </message>
    <message>
        <source>本局还没有结束，确定要退出吗？其他人会继续，由电脑替你出牌。</source>
        <translation>This game is not over yet. Quit anyway? The others play on, with the computer in your seat.</translation>
    </message>
    <message>
        <source>提示框(&amp;B)</source>
        <translation>Refusal &amp;Boxes</translation>
    </message>
    <message>
        <source>自动不出(&amp;P)</source>
        <translation>A&amp;uto Pass</translation>
    </message>
    <message>
        <source> 回来了，接着打</source>
        <translation> is back and plays on</translation>
    </message>
    <message>
        <source>密码不对，不能加入这一桌</source>
        <translation>Wrong password: you cannot join this table</translation>
    </message>
    <message>
        <source>这个座位已经有人，不能接回</source>
        <translation>That seat is taken: it cannot be given back</translation>
    </message>
    <message>
        <source>这一桌设了密码，旧版本不能加入，请更新后再来</source>
        <translation>This table has a password; older versions cannot join. Please update and try again.</translation>
    </message>
    <message>
        <source>与主机的连接断了，正在重新连接...</source>
        <translation>The link to the host dropped; reconnecting...</translation>
    </message>
    <message>
        <source>牌桌密码</source>
        <translation>Table password</translation>
    </message>
    <message>
        <source>可不填</source>
        <translation>optional</translation>
    </message>
    <message>
        <source>等待玩家 %1/3</source>
        <translation>Waiting for players: %1/3</translation>
    </message>
    <message>
        <source>%1（旧版本，看得到各家的牌）</source>
        <translation>%1 (older version: can see every hand)</translation>
    </message>
    <message>
        <source>出牌时限</source>
        <translation>Turn limit</translation>
    </message>
    <message>
        <source>不限</source>
        <translation>None</translation>
    </message>
    <message>
        <source>%1 秒</source>
        <translation>%1 s</translation>
    </message>
    <message>
        <source>胜率 %1%</source>
        <translation>wins %1%</translation>
    </message>
    <message>
        <source>不出最好，胜率 %1%</source>
        <translation>Pass is best: wins %1%</translation>
    </message>
    <message>
        <source>%1，与下一手难分高下</source>
        <translation>%1; the next is as good</translation>
    </message>
    <message>
        <source>%1，与上一手难分高下</source>
        <translation>%1; the one before is as good</translation>
    </message>
    <message>
        <source> 时间到，电脑代出一手</source>
        <translation> ran out of time; the computer moved for them</translation>
    </message>
    <message>
        <source>点击牌堆或按 F5 发牌</source>
        <translation>Click the stock or press F5 to deal</translation>
    </message>
    <message>
        <source>局域网上的牌桌</source>
        <translation>Tables on this network</translation>
    </message>
    <message>
        <source>%1（%2:%3），空位 %4</source>
        <translation>%1 (%2:%3), seats free: %4</translation>
    </message>
    <message>
        <source>，要密码</source>
        <translation>, password needed</translation>
    </message>
    <message>
        <source>继续上局</source>
        <translation>Resume the last game</translation>
    </message>
    <message>
        <source>上局的存档已损坏，无法继续，已改名为 %1 保留。</source>
        <translation>The saved game is damaged and cannot be resumed; it was kept as %1.</translation>
    </message>
    <message>
        <source>朱雀</source>
        <translation>Summer</translation>
    </message>
    <message>
        <source>青龙</source>
        <translation>Spring</translation>
    </message>
    <message>
        <source>玄武</source>
        <translation>Winter</translation>
    </message>
    <message>
        <source>白虎</source>
        <translation>Autumn</translation>
    </message>
    <message>
        <source>%1：%2，%3</source>
        <translation>%1: %2, %3</translation>
    </message>
    <message numerus="yes">
        <source>剩 %n 张</source>
        <translation>
            <numerusform>%n card left</numerusform>
            <numerusform>%n cards left</numerusform>
        </translation>
    </message>
    <message numerus="yes">
        <source>本局失 %n 分</source>
        <translation>
            <numerusform>%n point lost</numerusform>
            <numerusform>%n points lost</numerusform>
        </translation>
    </message>
    <message>
        <source>选择牌桌</source>
        <translation>Choose a Table</translation>
    </message>
    <message>
        <source>服务器上的牌桌：</source>
        <translation>Tables on the &amp;server:</translation>
    </message>
    <message>
        <source>服务器上的牌桌</source>
        <translation>Tables on the server</translation>
    </message>
    <message>
        <source>入座(&amp;S)</source>
        <translation>&amp;Sit Down</translation>
    </message>
    <message>
        <source>开新桌(&amp;N)</source>
        <translation>&amp;New Table</translation>
    </message>
    <message>
        <source>请路由器转发端口</source>
        <translation>Ask the router to forward the port</translation>
    </message>
    <message>
        <source>没有路由器回应，只能在局域网里加入</source>
        <translation>No router answered; friends can join only from the local network</translation>
    </message>
    <message>
        <source>路由器没有转发端口（错误 %1），只能在局域网里加入</source>
        <translation>The router did not forward the port (error %1); friends can join only from the local network</translation>
    </message>
    <message>
        <source>请把这个地址告诉朋友：%1</source>
        <translation>Give your friends this address: %1</translation>
    </message>
    <message>
        <source>外网地址 %1</source>
        <translation>Online %1</translation>
    </message>
    <message>
        <source>只限局域网</source>
        <translation>LAN only</translation>
    </message>
    <message>
        <source>%1，空位 %2</source>
        <translation>%1, %2 seats free</translation>
    </message>
    <message>
        <source>第一次连接这台服务器，已记住它的证书指纹 %1…</source>
        <translation>First connection to this server: its certificate fingerprint %1… is remembered</translation>
    </message>
    <message>
        <source>服务器的证书变了！可能有人冒充它。

记住的指纹：%1
现在的指纹：%2

仍然连接，并记住新的指纹吗？</source>
        <translation>The server&apos;s certificate has changed! Someone may be posing as it.

Fingerprint remembered: %1
Fingerprint now: %2

Connect anyway, and remember the new fingerprint?</translation>
    </message>
    <message>
        <source>加密连接失败：%1</source>
        <translation>The encrypted connection failed: %1</translation>
    </message>
    <message>
        <source>连接没有加密，密码不会发给服务器：新牌桌不设密码</source>
        <translation>The link is not encrypted, so the password is not sent to the server: the new table has no password</translation>
    </message>
</context>
</TS>
