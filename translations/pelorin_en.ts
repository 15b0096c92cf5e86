<?xml version="1.0" encoding="utf-8"?>
<!DOCTYPE TS>
<TS version="2.1" language="en" sourcelanguage="ja">
<context>
    <name>Pelorin</name>
    <message>
        <source>起動エラー</source>
        <translation>Startup Error</translation>
    </message>
    <message>
        <source>親ウィンドウの作成に失敗しました</source>
        <translation>Could not create the owner window</translation>
    </message>
    <message>
        <source>マップウィンドウの作成に失敗しました</source>
        <translation>Could not create the map window</translation>
    </message>
    <message>
        <source>マップスクリーンの初期化に失敗しました</source>
        <translation>Could not set up the map view</translation>
    </message>
    <message>
        <source>チップ属性ウィンドウの作成に失敗しました</source>
        <translation>Could not create the attribute window</translation>
    </message>
    <message>
        <source>チップ属性スクリーンの初期化に失敗しました</source>
        <translation>Could not set up the attribute view</translation>
    </message>
    <message>
        <source>チップウィンドウの作成に失敗しました</source>
        <translation>Could not create the chip window</translation>
    </message>
    <message>
        <source>チップスクリーンの初期化に失敗しました</source>
        <translation>Could not set up the chip view</translation>
    </message>
    <message>
        <source>プレビューウィンドウの作成に失敗しました</source>
        <translation>Could not create the preview window</translation>
    </message>
    <message>
        <source>プレビュースクリーンの初期化に失敗しました</source>
        <translation>Could not set up the preview</translation>
    </message>
    <message>
        <source>確認</source>
        <translation>Confirm</translation>
    </message>
    <message>
        <source>ファイル選択</source>
        <translation>Choose File</translation>
    </message>
    <message>
        <source>MAP Files (*.map)</source>
        <translation>Map files (*.map)</translation>
    </message>
    <message>
        <source>IMAGE Files (*.bmp,*.jpg,*.png)</source>
        <translation>Image files (*.bmp, *.jpg, *.png)</translation>
    </message>
    <message>
        <source>KIND Files (*.knd)</source>
        <translation>Attribute files (*.knd)</translation>
    </message>
    <message>
        <source>保存していない変更があります。終了しますか？</source>
        <translation>There are unsaved changes. Quit anyway?</translation>
    </message>
    <message>
        <source>終了しますか？</source>
        <translation>Quit Pelorin?</translation>
    </message>
    <message>
        <source>マップを新規作成します。作業中の内容は失われますが、よろしいですか？</source>
        <translation>Start a new map? The current work will be lost.</translation>
    </message>
    <message>
        <source>マップの再読み込みをします。作業中の内容は失われますが、よろしいですか？</source>
        <translation>Reload the map? The current work will be lost.</translation>
    </message>
    <message>
        <source>%s は既に存在します。
上書きしますか？</source>
        <translation>%s already exists.
Replace it?</translation>
    </message>
    <message>
        <source>画像の読み込みに失敗しました</source>
        <translation>Could not load the image</translation>
    </message>
    <message>
        <source>画像読み込みエラー</source>
        <translation>Image Load Error</translation>
    </message>
    <message>
        <source>プレイヤー定義「%s」を読み込めませんでした
%s</source>
        <translation>Could not load the player definition &quot;%s&quot;
%s</translation>
    </message>
    <message>
        <source>読み込みエラー</source>
        <translation>Load Error</translation>
    </message>
    <message>
        <source>次の画像を読み込めませんでした:%s</source>
        <translation>Could not load these images:%s</translation>
    </message>
    <message>
        <source>ファイルを開けません
%s</source>
        <translation>Cannot open the file
%s</translation>
    </message>
    <message>
        <source>マップファイルが見つかりません。一覧から外します。
%s</source>
        <translation>The map file is gone; it is removed from the list.
%s</translation>
    </message>
    <message>
        <source>マップ読み込みエラー</source>
        <translation>Map Load Error</translation>
    </message>
    <message>
        <source>マップファイルが他のプログラムで変更されました。再読み込みしますか？</source>
        <translation>Another program changed the map file. Reload it?</translation>
    </message>
    <message>
        <source>作業の復元</source>
        <translation>Restore Work</translation>
    </message>
    <message>
        <source>復元せずに削除します。この作業は元に戻せません。よろしいですか？</source>
        <translation>Delete this work without restoring it? This cannot be undone.</translation>
    </message>
    <message>
        <source>画像の読み込みに失敗しました
%s</source>
        <translation>Could not load the image
%s</translation>
    </message>
    <message>
        <source>グリッド色</source>
        <translation>Grid</translation>
    </message>
    <message>
        <source>カーソル色</source>
        <translation>Cursor</translation>
    </message>
    <message>
        <source>複数カーソル色</source>
        <translation>Selection frame</translation>
    </message>
    <message>
        <source>複数選択色</source>
        <translation>Selection fill</translation>
    </message>
    <message>
        <source>赤</source>
        <translation>Red</translation>
    </message>
    <message>
        <source>緑</source>
        <translation>Green</translation>
    </message>
    <message>
        <source>青</source>
        <translation>Blue</translation>
    </message>
    <message>
        <source>不透明度</source>
        <translation>Opacity</translation>
    </message>
    <message>
        <source>色設定</source>
        <translation>Colours</translation>
    </message>
    <message>
        <source>ウィンドウ種別</source>
        <translation>Window</translation>
    </message>
    <message>
        <source>マップウィンドウ</source>
        <translation>Map window</translation>
    </message>
    <message>
        <source>チップウィンドウ</source>
        <translation>Chip window</translation>
    </message>
    <message>
        <source>属性ウィンドウ</source>
        <translation>Attribute window</translation>
    </message>
    <message>
        <source>一覧を消去</source>
        <translation>Clear List</translation>
    </message>
    <message>
        <source>ファイル(&amp;F)</source>
        <translation>&amp;File</translation>
    </message>
    <message>
        <source>マップのロード(&amp;M)</source>
        <translation>Load &amp;Map</translation>
    </message>
    <message>
        <source>チップのロード(&amp;C)</source>
        <translation>Load &amp;Chips</translation>
    </message>
    <message>
        <source>属性のロード(&amp;K)</source>
        <translation>Load &amp;Attributes</translation>
    </message>
    <message>
        <source>最近使ったマップ(&amp;F)</source>
        <translation>Recen&amp;t Maps</translation>
    </message>
    <message>
        <source>マップの新規作成(&amp;N)</source>
        <translation>&amp;New Map</translation>
    </message>
    <message>
        <source>マップの保存(&amp;S)</source>
        <translation>&amp;Save Map</translation>
    </message>
    <message>
        <source>属性の保存(&amp;Z)</source>
        <translation>Save Attri&amp;butes</translation>
    </message>
    <message>
        <source>マップのリロード(&amp;R)</source>
        <translation>&amp;Reload Map</translation>
    </message>
    <message>
        <source>終了(&amp;X)</source>
        <translation>E&amp;xit</translation>
    </message>
    <message>
        <source>編集(&amp;E)</source>
        <translation>&amp;Edit</translation>
    </message>
    <message>
        <source>元に戻す(&amp;Z)</source>
        <translation>&amp;Undo</translation>
    </message>
    <message>
        <source>やり直し(&amp;Y)</source>
        <translation>&amp;Redo</translation>
    </message>
    <message>
        <source>コピー(&amp;C)</source>
        <translation>&amp;Copy</translation>
    </message>
    <message>
        <source>貼り付け(&amp;V)</source>
        <translation>&amp;Paste</translation>
    </message>
    <message>
        <source>置換(&amp;I)</source>
        <translation>Rep&amp;lace</translation>
    </message>
    <message>
        <source>設定(&amp;E)</source>
        <translation>&amp;Settings</translation>
    </message>
    <message>
        <source>プレイヤー登録(&amp;P)...</source>
        <translation>Pla&amp;yer Frames...</translation>
    </message>
    <message>
        <source>表示(&amp;V)</source>
        <translation>&amp;View</translation>
    </message>
    <message>
        <source>グリッドの表示(&amp;G)</source>
        <translation>Show &amp;Grid</translation>
    </message>
    <message>
        <source>スクロールバーの表示(&amp;S)</source>
        <translation>Show &amp;Scroll Bars</translation>
    </message>
    <message>
        <source>属性の表示(&amp;D)</source>
        <translation>Show Attri&amp;butes</translation>
    </message>
    <message>
        <source>拡大(&amp;I)&#x3000;Ctrl++</source>
        <translation>Zoom &amp;In	Ctrl++</translation>
    </message>
    <message>
        <source>縮小(&amp;O)&#x3000;Ctrl+-</source>
        <translation>Zoom &amp;Out	Ctrl+-</translation>
    </message>
    <message>
        <source>等倍表示(&amp;N)&#x3000;Ctrl+0</source>
        <translation>&amp;Actual Size	Ctrl+0</translation>
    </message>
    <message>
        <source>全体表示(&amp;F)</source>
        <translation>Zoom to &amp;Fit</translation>
    </message>
    <message>
        <source>コピー(&amp;C)&#x3000;Ctrl+C</source>
        <translation>&amp;Copy	Ctrl+C</translation>
    </message>
    <message>
        <source>貼り付け(&amp;V)&#x3000;Ctrl+V</source>
        <translation>&amp;Paste	Ctrl+V</translation>
    </message>
    <message>
        <source>元に戻す(&amp;Z)&#x3000;Ctrl+Z</source>
        <translation>&amp;Undo	Ctrl+Z</translation>
    </message>
    <message>
        <source>やり直し(&amp;Y)&#x3000;Ctrl+Y</source>
        <translation>&amp;Redo	Ctrl+Y</translation>
    </message>
    <message>
        <source>行削除&#x3000;Shift+Delete</source>
        <translation>Delete Rows	Shift+Delete</translation>
    </message>
    <message>
        <source>行挿入&#x3000;Shift+Insert</source>
        <translation>Insert Rows	Shift+Insert</translation>
    </message>
    <message>
        <source>列削除&#x3000;Ctrl+Delete</source>
        <translation>Delete Columns	Ctrl+Delete</translation>
    </message>
    <message>
        <source>列挿入&#x3000;Ctrl+Insert</source>
        <translation>Insert Columns	Ctrl+Insert</translation>
    </message>
    <message>
        <source>グリッドの表示(&amp;G)&#x3000;G</source>
        <translation>Show &amp;Grid	G</translation>
    </message>
    <message>
        <source>スクロールバーの表示(&amp;S)&#x3000;S</source>
        <translation>Show &amp;Scroll Bars	S</translation>
    </message>
    <message>
        <source>属性の表示(&amp;D)&#x3000;D</source>
        <translation>Show Attri&amp;butes	D</translation>
    </message>
    <message>
        <source>メインウィンドウとの連結(&amp;D)&#x3000;D</source>
        <translation>&amp;Dock to Main Window	D</translation>
    </message>
    <message>
        <source>項目</source>
        <translation>Item</translation>
    </message>
    <message>
        <source>元のファイル</source>
        <translation>File</translation>
    </message>
    <message>
        <source>内容</source>
        <translation>Contents</translation>
    </message>
    <message>
        <source>最後の記録</source>
        <translation>Last recorded</translation>
    </message>
    <message>
        <source>復元</source>
        <translation>Restore</translation>
    </message>
    <message>
        <source>後で</source>
        <translation>Later</translation>
    </message>
    <message>
        <source>保存されないまま終わった作業があります。</source>
        <translation>Pelorin ended with work that was never saved.</translation>
    </message>
    <message>
        <source>破棄</source>
        <translation>Discard</translation>
    </message>
    <message>
        <source>マップ</source>
        <translation>Map</translation>
    </message>
    <message>
        <source>新規マップ</source>
        <translation>New map</translation>
    </message>
    <message>
        <source>チップ属性</source>
        <translation>Attributes</translation>
    </message>
    <message>
        <source>(ファイルなし)</source>
        <translation>(no file)</translation>
    </message>
    <message>
        <source>%zu件</source>
        <translation>%zu records</translation>
    </message>
    <message>
        <source>プレイヤー</source>
        <translation>Player</translation>
    </message>
    <message>
        <source>%dフレーム</source>
        <translation>%d frames</translation>
    </message>
    <message>
        <source>※ 元のファイルがこの記録のあとで変更されています: %s</source>
        <translation>Note: the file has changed since this was recorded: %s</translation>
    </message>
    <message>
        <source>※ 前回、この作業の復元は完了しませんでした。</source>
        <translation>Note: the last restore of this work did not finish.</translation>
    </message>
    <message>
        <source>※ 読めない記録がありました: %s</source>
        <translation>Note: a record could not be read: %s</translation>
    </message>
    <message>
        <source>復元データの書き込みエラー</source>
        <translation>Recovery Write Error</translation>
    </message>
    <message>
        <source>作業の復元用データを書き込めませんでした。
%s
編集はこのまま続けられます。書き込みはこのあとも試みます。</source>
        <translation>Could not write the data to restore your work from.
%s
You can go on editing; Pelorin will keep trying.</translation>
    </message>
    <message>
        <source>設定</source>
        <translation>Settings</translation>
    </message>
    <message>
        <source>サイズ変更</source>
        <translation>Sizes</translation>
    </message>
    <message>
        <source>キャンバスサイズ設定</source>
        <translation>Canvas size</translation>
    </message>
    <message>
        <source>横チップ数</source>
        <translation>Columns</translation>
    </message>
    <message>
        <source>縦チップ数</source>
        <translation>Rows</translation>
    </message>
    <message>
        <source>チップサイズ設定</source>
        <translation>Chip size</translation>
    </message>
    <message>
        <source>チップ横幅</source>
        <translation>Width</translation>
    </message>
    <message>
        <source>チップ縦幅</source>
        <translation>Height</translation>
    </message>
    <message>
        <source>ウィンドウサイズ設定</source>
        <translation>Window size</translation>
    </message>
    <message>
        <source>ウィンドウ横幅</source>
        <translation>Width</translation>
    </message>
    <message>
        <source>ウィンドウ縦幅</source>
        <translation>Height</translation>
    </message>
    <message>
        <source>マップウィンドウサイズ</source>
        <translation>Map window</translation>
    </message>
    <message>
        <source>チップウィンドウサイズ</source>
        <translation>Chip window</translation>
    </message>
    <message>
        <source>既に起動しています</source>
        <translation>Pelorin is already running</translation>
    </message>
    <message>
        <source>二重起動を防ぐロックファイルを使えません。
%s
二重起動を確かめずに起動します。</source>
        <translation>Cannot use the lock file that keeps Pelorin from running twice.
%s
Starting without that check.</translation>
    </message>
    <message>
        <source>キャンセル</source>
        <translation>Cancel</translation>
    </message>
    <message>
        <source>はい(&amp;Y)</source>
        <translation>&amp;Yes</translation>
    </message>
    <message>
        <source>いいえ(&amp;N)</source>
        <translation>&amp;No</translation>
    </message>
    <message>
        <source>画像のサイズが小さ過ぎます。チップ画像の最小サイズは%dです。</source>
        <translation>The image is too small. A chip image must be at least %d pixels.</translation>
    </message>
    <message>
        <source>チップ画像ロードエラー</source>
        <translation>Chip Image Load Error</translation>
    </message>
    <message>
        <source>Pelorin  %d番のチップ&#x3000;選択位置:(%d,%d) 視点座標:(%d,%d) チップ数:(横%d列,縦%d行) 画像サイズ(%d×%d) 選択範囲:(%d:%d～%d:%d)</source>
        <translation>Pelorin  chip %d  cursor:(%d,%d) view:(%d,%d) chips:(%d columns, %d rows) image:(%d×%d) selection:(%d:%d to %d:%d)</translation>
    </message>
    <message>
        <source>赤成分値：%d</source>
        <translation>Red: %d</translation>
    </message>
    <message>
        <source>緑成分値：%d</source>
        <translation>Green: %d</translation>
    </message>
    <message>
        <source>青成分値：%d</source>
        <translation>Blue: %d</translation>
    </message>
    <message>
        <source>チップ属性の設定</source>
        <translation>Attribute Settings</translation>
    </message>
    <message>
        <source>当り判定</source>
        <translation>Collision</translation>
    </message>
    <message>
        <source>通行可能</source>
        <translation>Passable</translation>
    </message>
    <message>
        <source>下りられる</source>
        <translation>Drop-through</translation>
    </message>
    <message>
        <source>当り判定矩形</source>
        <translation>Hit rectangle</translation>
    </message>
    <message>
        <source>左</source>
        <translation>Left</translation>
    </message>
    <message>
        <source>右</source>
        <translation>Right</translation>
    </message>
    <message>
        <source>上</source>
        <translation>Top</translation>
    </message>
    <message>
        <source>下</source>
        <translation>Bottom</translation>
    </message>
    <message>
        <source>属性メモ</source>
        <translation>Memo</translation>
    </message>
    <message>
        <source>現在の属性色</source>
        <translation>Colour</translation>
    </message>
    <message>
        <source>色の選択</source>
        <translation>Choose...</translation>
    </message>
    <message>
        <source>Z位置</source>
        <translation>Z</translation>
    </message>
    <message>
        <source>ｷｬﾝｾﾙ</source>
        <translation>Cancel</translation>
    </message>
    <message>
        <source>チップ属性&#x3000;%d番の設定</source>
        <translation>Attribute %d</translation>
    </message>
    <message>
        <source>(属性データなし)</source>
        <translation>(no attribute data)</translation>
    </message>
    <message>
        <source>赤:%d 緑:%d 青:%d</source>
        <translation>R:%d G:%d B:%d</translation>
    </message>
    <message>
        <source>通行不可</source>
        <translation>Blocked</translation>
    </message>
    <message>
        <source>段落可能</source>
        <translation>Drop-through</translation>
    </message>
    <message>
        <source>段落不可</source>
        <translation>Solid</translation>
    </message>
    <message>
        <source>左:%d 右:%d 上:%d 下:%d</source>
        <translation>L:%d R:%d T:%d B:%d</translation>
    </message>
    <message>
        <source>チップ属性設定</source>
        <translation>Attributes</translation>
    </message>
    <message>
        <source>属性番号</source>
        <translation>No.</translation>
    </message>
    <message>
        <source>属性色</source>
        <translation>Colour</translation>
    </message>
    <message>
        <source>通行状態</source>
        <translation>Passable</translation>
    </message>
    <message>
        <source>段落状態</source>
        <translation>Drop</translation>
    </message>
    <message>
        <source>Z座標</source>
        <translation>Z</translation>
    </message>
    <message>
        <source>属性の編集</source>
        <translation>Edit...</translation>
    </message>
    <message>
        <source>%s
属性ファイルが大きすぎます</source>
        <translation>%s
The attribute file is too large</translation>
    </message>
    <message>
        <source>属性読み込みエラー</source>
        <translation>Attribute Load Error</translation>
    </message>
    <message>
        <source>Pelorin  属性%d番</source>
        <translation>Pelorin  attribute %d</translation>
    </message>
    <message>
        <source> (属性データなし)</source>
        <translation> (no attribute data)</translation>
    </message>
    <message>
        <source> (赤%d:緑%d:青%d)</source>
        <translation> (red %d, green %d, blue %d)</translation>
    </message>
    <message>
        <source> 通行可能</source>
        <translation> passable</translation>
    </message>
    <message>
        <source> 通行不可</source>
        <translation> blocked</translation>
    </message>
    <message>
        <source> 段下り可</source>
        <translation> drop-through</translation>
    </message>
    <message>
        <source> 段下り不可</source>
        <translation> solid</translation>
    </message>
    <message>
        <source> 当り矩形(左%d:右%d:上%d:下%d)</source>
        <translation> hit rect (left %d, right %d, top %d, bottom %d)</translation>
    </message>
    <message>
        <source> Z座標:%d</source>
        <translation> Z:%d</translation>
    </message>
    <message>
        <source>不正な値が入力されました。ウィンドウの横サイズは%d～%d、縦サイズは%d～%dの範囲内に納めて下さい。</source>
        <translation>Invalid value. The window width must be %d to %d and its height %d to %d.</translation>
    </message>
    <message>
        <source>ウィンドウサイズ変更エラー</source>
        <translation>Window Size Error</translation>
    </message>
    <message>
        <source>縦のキャンバス限界サイズは%dです。それ以上は挿入出来ません</source>
        <translation>The canvas is at most %d rows. No more rows can be inserted</translation>
    </message>
    <message>
        <source>横のキャンバス限界サイズは%dです。それ以上は挿入出来ません</source>
        <translation>The canvas is at most %d columns. No more columns can be inserted</translation>
    </message>
    <message>
        <source>列を削除出来ません。マップ構成には最低1列は必要です。</source>
        <translation>Cannot delete the columns. A map needs at least one column.</translation>
    </message>
    <message>
        <source>行を削除出来ません。マップ構成には最低1行は必要です。</source>
        <translation>Cannot delete the rows. A map needs at least one row.</translation>
    </message>
    <message>
        <source>不正な値が指定されました。キャンバスの横サイズは1～%dの範囲内に納めて下さい。</source>
        <translation>Invalid value. The canvas width must be 1 to %d.</translation>
    </message>
    <message>
        <source>不正な値が指定されました。キャンバスの縦サイズは1～%dの範囲内に納めて下さい。</source>
        <translation>Invalid value. The canvas height must be 1 to %d.</translation>
    </message>
    <message>
        <source>%d個置換しました</source>
        <translation>Replaced %d cells</translation>
    </message>
    <message>
        <source>行挿入エラー</source>
        <translation>Insert Rows Error</translation>
    </message>
    <message>
        <source>列挿入エラー</source>
        <translation>Insert Columns Error</translation>
    </message>
    <message>
        <source>列削除エラー</source>
        <translation>Delete Columns Error</translation>
    </message>
    <message>
        <source>行削除エラー</source>
        <translation>Delete Rows Error</translation>
    </message>
    <message>
        <source>キャンバスサイズ変更エラー</source>
        <translation>Canvas Size Error</translation>
    </message>
    <message>
        <source>置換成功</source>
        <translation>Replaced</translation>
    </message>
    <message>
        <source>%s
マップが大きすぎます（縦横それぞれ%d個までです）</source>
        <translation>%s
The map is too large (at most %d cells each way)</translation>
    </message>
    <message>
        <source>%s
チップの個数が異なる行があります

正しい個数：%zu個
間違っている個数：%zu個

発見した行数：%d</source>
        <translation>%s
A row has a different number of chips

Expected: %zu
Found: %zu

Line: %d</translation>
    </message>
    <message>
        <source>マップデータが開けません</source>
        <translation>Cannot open the map data</translation>
    </message>
    <message>
        <source>マップ配置データのＩＤが異なっています</source>
        <translation>The file is not a map (wrong ID)</translation>
    </message>
    <message>
        <source>%s
マップデータが壊れています</source>
        <translation>%s
The map data is damaged</translation>
    </message>
    <message>
        <source>Pelorin  マップ位置:(%d,%d) 視点座標:(%d,%d) チップ総数:(横%d個,縦%d行) 選択範囲:(%d:%d～%d:%d)</source>
        <translation>Pelorin  cursor:(%d,%d) view:(%d,%d) map:(%d columns, %d rows) selection:(%d:%d to %d:%d)</translation>
    </message>
    <message>
        <source>不正な値が指定されました</source>
        <translation>Invalid value</translation>
    </message>
    <message>
        <source>チップサイズ変更エラー</source>
        <translation>Chip Size Error</translation>
    </message>
    <message>
        <source>  倍率:%s</source>
        <translation>  zoom:%s</translation>
    </message>
    <message>
        <source>マップを読み込んでいます…</source>
        <translation>Loading the map…</translation>
    </message>
    <message>
        <source>マップを保存しています…</source>
        <translation>Saving the map…</translation>
    </message>
    <message>
        <source>置換しています…</source>
        <translation>Replacing…</translation>
    </message>
    <message>
        <source>チップの置換</source>
        <translation>Replace</translation>
    </message>
    <message>
        <source>置換したいチップの種別と番号</source>
        <translation>Replace</translation>
    </message>
    <message>
        <source>種別</source>
        <translation>Kind</translation>
    </message>
    <message>
        <source>番号</source>
        <translation>No.</translation>
    </message>
    <message>
        <source>置換した後のチップの種別と番号</source>
        <translation>With</translation>
    </message>
    <message>
        <source>チップ</source>
        <translation>Chip</translation>
    </message>
    <message>
        <source>属性</source>
        <translation>Attribute</translation>
    </message>
    <message>
        <source>名前の変更</source>
        <translation>Rename</translation>
    </message>
    <message>
        <source>表示名</source>
        <translation>Name</translation>
    </message>
    <message>
        <source>表示範囲</source>
        <translation>Shown part</translation>
    </message>
    <message>
        <source>追加矩形1</source>
        <translation>Rectangle 1</translation>
    </message>
    <message>
        <source>追加矩形2</source>
        <translation>Rectangle 2</translation>
    </message>
    <message>
        <source>追加矩形3</source>
        <translation>Rectangle 3</translation>
    </message>
    <message>
        <source>追加矩形4</source>
        <translation>Rectangle 4</translation>
    </message>
    <message>
        <source>フレームの設定</source>
        <translation>Frame Settings</translation>
    </message>
    <message>
        <source>表示時間 (ms)</source>
        <translation>Time (ms)</translation>
    </message>
    <message>
        <source>α値</source>
        <translation>Alpha</translation>
    </message>
    <message>
        <source>画像のαチャンネルで描画</source>
        <translation>Use the image&apos;s alpha</translation>
    </message>
    <message>
        <source>プレビューを前面へ</source>
        <translation>Bring Preview to Front</translation>
    </message>
    <message>
        <source>適用</source>
        <translation>Apply</translation>
    </message>
    <message>
        <source>立ち</source>
        <translation>Stand</translation>
    </message>
    <message>
        <source>歩き</source>
        <translation>Walk</translation>
    </message>
    <message>
        <source>ジャンプ</source>
        <translation>Jump</translation>
    </message>
    <message>
        <source>落下</source>
        <translation>Fall</translation>
    </message>
    <message>
        <source>ダメージ</source>
        <translation>Damage</translation>
    </message>
    <message>
        <source>死亡</source>
        <translation>Death</translation>
    </message>
    <message>
        <source>攻撃</source>
        <translation>Attack</translation>
    </message>
    <message>
        <source>%s が %s～%s の整数ではありません</source>
        <translation>%s is not a whole number from %s to %s</translation>
    </message>
    <message>
        <source>%s が 4 つの整数の配列ではありません</source>
        <translation>%s is not an array of 4 whole numbers</translation>
    </message>
    <message>
        <source>%s の値が 0～%s の整数ではありません</source>
        <translation>a value of %s is not a whole number from 0 to %s</translation>
    </message>
    <message>
        <source>image がファイル名ではありません</source>
        <translation>image is not a file name</translation>
    </message>
    <message>
        <source>name が空でない文字列ではありません</source>
        <translation>name is not a non-empty string</translation>
    </message>
    <message>
        <source>drawOption が true か false ではありません</source>
        <translation>drawOption is neither true nor false</translation>
    </message>
    <message>
        <source>extraRects が 4 つの矩形の配列ではありません</source>
        <translation>extraRects is not an array of 4 rectangles</translation>
    </message>
    <message>
        <source>%s がありません</source>
        <translation>%s is missing</translation>
    </message>
    <message>
        <source>UTF-8 でないファイル名や表示名は保存できません</source>
        <translation>File names and names that are not UTF-8 cannot be saved</translation>
    </message>
    <message>
        <source>ファイルを読めません</source>
        <translation>Cannot read the file</translation>
    </message>
    <message>
        <source>JSON として読めません</source>
        <translation>Not readable as JSON</translation>
    </message>
    <message>
        <source>プレイヤー定義のファイル (pelorinPlayer: 1) ではありません</source>
        <translation>Not a player definition file (pelorinPlayer: 1)</translation>
    </message>
    <message>
        <source>actions が 7 つのアクションの配列ではありません</source>
        <translation>actions is not an array of 7 actions</translation>
    </message>
    <message>
        <source>: frames がフレームの配列ではありません</source>
        <translation>: frames is not an array of frames</translation>
    </message>
    <message>
        <source>: フレームが %d を超えています</source>
        <translation>: more than %d frames</translation>
    </message>
    <message>
        <source>: オブジェクトではありません</source>
        <translation>: not an object</translation>
    </message>
    <message>
        <source>１つのアクションに登録出来る画像は%dまでです</source>
        <translation>An action can have at most %d images</translation>
    </message>
    <message>
        <source>画像「%s」の読み込みに失敗しました</source>
        <translation>Could not load the image &quot;%s&quot;</translation>
    </message>
    <message>
        <source>プレビュー開始</source>
        <translation>Play Preview</translation>
    </message>
    <message>
        <source>プレビュー終了</source>
        <translation>Stop Preview</translation>
    </message>
    <message>
        <source>JSON Files (*.json)</source>
        <translation>JSON files (*.json)</translation>
    </message>
    <message>
        <source>プレイヤー登録</source>
        <translation>Player Frames</translation>
    </message>
    <message>
        <source>アクション</source>
        <translation>Action</translation>
    </message>
    <message>
        <source>画像の追加...</source>
        <translation>Add Images...</translation>
    </message>
    <message>
        <source>複製</source>
        <translation>Duplicate</translation>
    </message>
    <message>
        <source>名前の変更...</source>
        <translation>Rename...</translation>
    </message>
    <message>
        <source>設定...</source>
        <translation>Settings...</translation>
    </message>
    <message>
        <source>削除</source>
        <translation>Delete</translation>
    </message>
    <message>
        <source>全て削除</source>
        <translation>Delete All</translation>
    </message>
    <message>
        <source>ファイルに保存...</source>
        <translation>Save to File...</translation>
    </message>
    <message>
        <source>ファイルから読込...</source>
        <translation>Load from File...</translation>
    </message>
    <message>
        <source>エラー</source>
        <translation>Error</translation>
    </message>
    <message>
        <source>IMG Files (*.bmp,*.jpg,*.png)</source>
        <translation>Image files (*.bmp, *.jpg, *.png)</translation>
    </message>
    <message>
        <source>プレイヤー登録エラー</source>
        <translation>Player Frames Error</translation>
    </message>
    <message>
        <source>全ての項目を削除しますか？</source>
        <translation>Delete all frames?</translation>
    </message>
    <message>
        <source>プレイヤー定義「%s」を保存できませんでした
%s</source>
        <translation>Could not save the player definition &quot;%s&quot;
%s</translation>
    </message>
    <message>
        <source>保存エラー</source>
        <translation>Save Error</translation>
    </message>
    <message>
        <source>常に手前に表示</source>
        <translation>Always on Top</translation>
    </message>
    <message>
        <source>一時停止</source>
        <translation>Pause</translation>
    </message>
    <message>
        <source>ループ再生</source>
        <translation>Loop</translation>
    </message>
    <message>
        <source>%s
属性ファイルとして読めません</source>
        <translation>%s
This file cannot be read as an attribute file</translation>
    </message>
    <message>
        <source>属性ファイル「%s」を保存できませんでした
%s</source>
        <translation>Could not save the attribute file &quot;%s&quot;
%s</translation>
    </message>
    <message>
        <source>マップ「%s」を保存できませんでした
%s</source>
        <translation>Could not save the map &quot;%s&quot;
%s</translation>
    </message>
</context>
</TS>
