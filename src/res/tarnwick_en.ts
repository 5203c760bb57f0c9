<?xml version="1.0" encoding="utf-8"?>
<!DOCTYPE TS>
<TS version="2.1" language="en">
<context>
    <name>CAboutDlg</name>
    <message>
        <source>バージョン情報</source>
        <translation>About</translation>
    </message>
    <message>
        <source>バージョン１．２a</source>
        <translation>Version 1.2a</translation>
    </message>
</context>
<context>
    <name>CGridFile</name>
    <message>
        <source>ファイルに保存できない文字を「?」に置き換えて保存しました。
対象のNo: </source>
        <translation>Characters the file cannot hold were saved as &quot;?&quot;.
Rows No.: </translation>
    </message>
    <message>
        <source>ファイル保存できませんでした</source>
        <translation>The file could not be saved</translation>
    </message>
    <message>
        <source>ファイル読み込みできませんでした</source>
        <translation>The file could not be read</translation>
    </message>
</context>
<context>
    <name>CTarnwickDlg</name>
    <message>
        <source>LTC (オーディオ入力)</source>
        <translation>LTC (audio input)</translation>
    </message>
    <message>
        <source>MTC (MIDI入力)</source>
        <translation>MTC (MIDI input)</translation>
    </message>
    <message>
        <source>ビデオファイル...</source>
        <translation>Video file...</translation>
    </message>
    <message>
        <source>CSV形式で書き出し...</source>
        <translation>Export as CSV...</translation>
    </message>
    <message>
        <source>EDL形式で書き出し...</source>
        <translation>Export as EDL...</translation>
    </message>
    <message>
        <source>Excel形式で書き出し...</source>
        <translation>Export as Excel...</translation>
    </message>
    <message>
        <source>ALE形式(ログ)で書き出し...</source>
        <translation>Export as ALE (log)...</translation>
    </message>
    <message>
        <source>マーカーをEDLで書き出し...</source>
        <translation>Export markers as EDL...</translation>
    </message>
    <message>
        <source>マーカーをFCPXMLで書き出し...</source>
        <translation>Export markers as FCPXML...</translation>
    </message>
    <message>
        <source>マーカーをFCP7 XMLで書き出し...</source>
        <translation>Export markers as FCP7 XML...</translation>
    </message>
    <message>
        <source>マーカーをOTIOで書き出し...</source>
        <translation>Export markers as OTIO...</translation>
    </message>
    <message>
        <source>ﾌｧｲﾙ(F1)</source>
        <translation>File(F1)</translation>
    </message>
    <message>
        <source>ﾌﾚｰﾑﾁｪｯｸ(F2)</source>
        <translation>Frame Check(F2)</translation>
    </message>
    <message>
        <source>通信(F3)</source>
        <translation>Comm(F3)</translation>
    </message>
    <message>
        <source>ヘルプ(F4)</source>
        <translation>Help(F4)</translation>
    </message>
    <message>
        <source>フレームレート</source>
        <translation>Frame rate</translation>
    </message>
    <message>
        <source>トランスポート</source>
        <translation>Transport</translation>
    </message>
    <message>
        <source>開く</source>
        <translation>Open</translation>
    </message>
    <message>
        <source>名前を付けて保存</source>
        <translation>Save As</translation>
    </message>
    <message>
        <source>上書き保存</source>
        <translation>Save</translation>
    </message>
    <message>
        <source>印刷</source>
        <translation>Print</translation>
    </message>
    <message>
        <source>終了</source>
        <translation>Exit</translation>
    </message>
    <message>
        <source>3 ﾌﾚｰﾑ (NonDrop)</source>
        <translation>3 frames (NonDrop)</translation>
    </message>
    <message>
        <source>4 ﾌﾚｰﾑ (NonDrop)</source>
        <translation>4 frames (NonDrop)</translation>
    </message>
    <message>
        <source>3 ﾌﾚｰﾑ (Drop)</source>
        <translation>3 frames (Drop)</translation>
    </message>
    <message>
        <source>4 ﾌﾚｰﾑ (Drop)</source>
        <translation>4 frames (Drop)</translation>
    </message>
    <message>
        <source>ヘルプ</source>
        <translation>Help</translation>
    </message>
    <message>
        <source>バージョン情報</source>
        <translation>About</translation>
    </message>
    <message>
        <source>元に戻す</source>
        <translation>Undo</translation>
    </message>
    <message>
        <source>やり直し</source>
        <translation>Redo</translation>
    </message>
    <message>
        <source>新規</source>
        <translation>New</translation>
    </message>
    <message>
        <source>読み込み...</source>
        <translation>Import...</translation>
    </message>
    <message>
        <source>English</source>
        <translation>日本語</translation>
    </message>
    <message>
        <source>再生・シャトル	L</source>
        <translation>Play / shuttle	L</translation>
    </message>
    <message>
        <source>逆再生・シャトル	J</source>
        <translation>Reverse / shuttle	J</translation>
    </message>
    <message>
        <source>スチル	K</source>
        <translation>Still	K</translation>
    </message>
    <message>
        <source>再生／スチル	Space</source>
        <translation>Play / still	Space</translation>
    </message>
    <message>
        <source>1フレーム送り	K+L</source>
        <translation>Step forward	K+L</translation>
    </message>
    <message>
        <source>1フレーム戻し	K+J</source>
        <translation>Step back	K+J</translation>
    </message>
    <message>
        <source>早送り	Shift+L</source>
        <translation>Fast forward	Shift+L</translation>
    </message>
    <message>
        <source>巻き戻し	Shift+J</source>
        <translation>Rewind	Shift+J</translation>
    </message>
    <message>
        <source>停止	Shift+K</source>
        <translation>Stop	Shift+K</translation>
    </message>
    <message>
        <source>行の IN／OUT へキュー	G</source>
        <translation>Cue to row IN/OUT	G</translation>
    </message>
    <message>
        <source>プリロールして再生	Shift+G</source>
        <translation>Preroll and play	Shift+G</translation>
    </message>
    <message>
        <source>スタンバイ オン／オフ</source>
        <translation>Standby on/off</translation>
    </message>
    <message>
        <source>イジェクト...</source>
        <translation>Eject...</translation>
    </message>
    <message>
        <source>標準のボタン</source>
        <translation>Default</translation>
    </message>
    <message>
        <source>＋</source>
        <translation>＋</translation>
    </message>
    <message>
        <source>■</source>
        <translation>■</translation>
    </message>
    <message>
        <source>－</source>
        <translation>－</translation>
    </message>
    <message>
        <source>Tarnwickのﾊﾞｰｼﾞｮﾝ情報(&amp;A)...</source>
        <translation>&amp;About Tarnwick...</translation>
    </message>
</context>
<context>
    <name>Converter</name>
    <message>
        <source>CSV: BOM付きのUTF-8、改行はCR LF。見出しの行に続けて、何か入っている行を1行ずつ。= + - @、タブ、復帰で始まるセル（その前にアポストロフィがあるものも）には前にアポストロフィを付け、表計算ソフトが文字として表示するようにします</source>
        <translation>CSV: UTF-8 with a byte-order mark, CR LF, a header line, then one line per row that holds anything; a cell starting with = + - @, a tab or a carriage return (or with apostrophes before one of those) gets an apostrophe before it, so that a spreadsheet shows it as text</translation>
    </message>
    <message>
        <source>EDL (CMX 3600): 正しい IN とそれより後の OUT がある行ごとに1イベント。レコードの時間は 01:00:00:00 から隙間なく並べ、SP No. と REMARK はノートに（どのイベントにもクリップ名の行を付けます）、ドロップフレームのラベルはフレームの前を &apos;;&apos; にします</source>
        <translation>EDL (CMX 3600): one event per row with a valid IN and a later OUT, record times back to back from 01:00:00:00, SP No. and remark as notes (a clip-name line for every event), drop-frame labels with &apos;;&apos; before the frames</translation>
    </message>
    <message>
        <source>Excelブック: CSVと同じ列で、どのセルも文字列、見出しは太字で固定（表計算ソフトへ何も失わずに渡す方法）</source>
        <translation>Excel workbook: the CSV&apos;s columns, every cell text, the header bold and frozen (the lossless way into a spreadsheet)</translation>
    </message>
    <message>
        <source>Avid Log Exchange: 正しい IN とそれより後の OUT がある行ごとに1クリップ（Name = SP No.、Start = IN、End = OUT、Comments = REMARK）。レートは見出しに書きます</source>
        <translation>Avid Log Exchange: one clip per row with a valid IN and a later OUT (Name = SP No., Start = IN, End = OUT, Comments = remark), the rate in the heading</translation>
    </message>
    <message>
        <source>EDLのマーカー: 行ごとにその IN に1イベント、時間順。続く行にマーカーの色、名前（SP No.）、長さ（OUT - IN）、最後にコメント（REMARK）</source>
        <translation>markers in an EDL: one event per row at its IN, in time order, then a line of the marker&apos;s colour, name (SP No.), duration (OUT - IN) and, last, comment (remark)</translation>
    </message>
    <message>
        <source>FCPXML 1.11のマーカー: 01:00:00:00（それより前の IN があれば最も早い IN）から始まるシーケンスのプロジェクトで、マーカーは1つのギャップの上に</source>
        <translation>markers in FCPXML 1.11: a project whose sequence starts at 01:00:00:00 (or at the earliest IN before that) with the markers on one gap</translation>
    </message>
    <message>
        <source>Final Cut Pro 7 XML（xmeml 4）のマーカー、1つのシーケンスの上に</source>
        <translation>markers in Final Cut Pro 7 XML (xmeml 4), on one sequence</translation>
    </message>
    <message>
        <source>OpenTimelineIO JSONのマーカー、タイムラインの1つのトラックの上に</source>
        <translation>markers in OpenTimelineIO JSON, on one track of a timeline</translation>
    </message>
    <message>
        <source>通常のファイルではありません（FIFO、デバイスまたはフォルダ）</source>
        <translation>not a plain file (a FIFO, a device or a folder)</translation>
    </message>
    <message>
        <source>読み込めません</source>
        <translation>cannot be read</translation>
    </message>
    <message>
        <source>1秒%1フレームのリストで、--rate の %2 と違います</source>
        <translation>counts %1 frames a second, not the %2 of --rate</translation>
    </message>
    <message>
        <source>UTF-8でないバイトをU+FFFDとして表示</source>
        <translation>bytes that are not UTF-8 shown as U+FFFD</translation>
    </message>
    <message>
        <source>コードページ932でないバイトをU+FFFDとして表示</source>
        <translation>bytes that are not code page 932 shown as U+FFFD</translation>
    </message>
    <message>
        <source>リストの行がありません</source>
        <translation>no list rows</translation>
    </message>
    <message>
        <source>%1を作れません</source>
        <translation>cannot make the %1</translation>
    </message>
    <message>
        <source>%1にならない行: %2</source>
        <translation>no %1 for rows %2</translation>
    </message>
    <message>
        <source>この形式で書けない文字を置き換えた行: %1</source>
        <translation>text the format cannot hold replaced in rows %1</translation>
    </message>
    <message>
        <source>%2以降の%1件は読み込んでいません（リストは%3行まで）</source>
        <translation>%1 entries from %2 on left out: a list has %3 rows</translation>
    </message>
    <message>
        <source>%1は読み込んでいません（読み取れません）</source>
        <translation>%1 left out: not readable</translation>
    </message>
    <message>
        <source>%1は読み込んでいません（%2はタイムコードではありません）</source>
        <translation>%1 left out: %2 is no timecode</translation>
    </message>
    <message>
        <source>%1は%2を文字のまま残しました（このレートにないラベル）</source>
        <translation>%1 kept with %2 as text: no label at the rate</translation>
    </message>
    <message>
        <source>%1は%2を空欄にしました（タイムコードではありません）</source>
        <translation>%1 kept with an empty cell for %2: no timecode</translation>
    </message>
    <message>
        <source>%1 MiBを超えています</source>
        <translation>larger than %1 MiB</translation>
    </message>
    <message>
        <source>変換できる形式ではありません</source>
        <translation>not a format the converter reads</translation>
    </message>
    <message>
        <source>コードページ932で書けない文字を置き換えた行: %1</source>
        <translation>characters code page 932 cannot hold replaced in rows %1</translation>
    </message>
    <message>
        <source>、</source>
        <translation>, </translation>
    </message>
    <message>
        <source>使い方: tarnwick-export 形式 [--rate N] [--non-drop] LIST.txt... [-o OUT | -d FOLDER]
        tarnwick-export --to-list [--rate N] [--non-drop] FILE... [-o OUT | -d FOLDER]

Tarnwickのリストファイルを、ほかのプログラムで使えるように変換します。各ファイルは
「ﾌｧｲﾙ」の「開く」と同じように読み（コードページ932、DURATIONはINとOUTから計算し
直し、行は0001～0040）、ウィンドウの書き出しと同じものを書きます。
形式は次のいずれかです:

</source>
        <translation>Usage: tarnwick-export FORMAT [--rate N] [--non-drop] LIST.txt... [-o OUT | -d FOLDER]
       tarnwick-export --to-list [--rate N] [--non-drop] FILE... [-o OUT | -d FOLDER]

Converts Tarnwick list files for other programs. Each file is read as File &gt; Open reads it
(code page 932, durations computed again from IN and OUT, rows 0001 to 0040), and the
output is what the window&apos;s export writes. FORMAT is one of:

</translation>
    </message>
    <message>
        <source>
  --rate N       ラベルが数える1秒のフレーム数: 24、25または30（既定は30）。24か25で
                 保存したリストファイルにはレートが書いてあり、そのレートで読みます。
                 違う --rate を指定すると、そのファイルはエラーです
  --non-drop     30のとき、ノンドロップで数えます（既定はドロップフレーム、29.97）
  -o OUT         OUTに書きます（LISTが1つのときだけ）
  -d FOLDER      FOLDERの中に書きます。なければ作ります
  --to-list      逆向きの変換: 上のどの形式のFILEも（中身から、中身が文字の表でしか
                 ないときは拡張子から判断して）ウィンドウの「読み込み...」と同じように
                 --rate で読み、リストファイルとして書きます。名前はFILEの拡張子を.txt
                 にしたものです。レートにないラベルを文字のまま残した行、読み込まな
                 かったもの、41行目以降の行は注記で示します
  --help         この説明を表示して終了します

EDL、ログ、マーカーの項目にならない行（INかOUTがない、OUTがINより後でない、ドロップ
フレームの00:01:00:00のようにレートにないラベル）は書き出さず、その行を示します。形式が
書けない文字はその形式の規則で置き換え（EDL: 改行と制御文字は空白に。ログ: タブも。
FCPXMLとxmeml: タブと行末以外の制御文字はU+FFFDに。EDLのマーカー: SP No.の &apos;|&apos; は
U+FF5Cに）、置き換えた行を示します。CSV、Excelブック、OTIOはすべての文字を保ちます。
</source>
        <translation>
  --rate N       frames a second the labels count: 24, 25 or 30 (default 30); a list
                 file saved at 24 or 25 says its rate and is read at it, and a --rate
                 that says another is an error for that file
  --non-drop     at 30, count non-drop (default: drop-frame, 29.97)
  -o OUT         write to OUT (with a single LIST only)
  -d FOLDER      write into FOLDER, created when missing
  --to-list      the other way: read each FILE of any format above (told by its content,
                 or by its extension when the content is no more than a table of text)
                 as the window&apos;s import reads it, at --rate, and write it as a list file,
                 FILE&apos;s name with .txt; notes name each line kept with a label the rate
                 lacks (as text), each thing left out and rows past the 40th
  --help         show this text and exit

Rows that cannot become an entry of an EDL, a log or markers (no IN or OUT, an OUT not after
its IN, a label the rate does not have, such as 00:01:00:00 in drop-frame) are left out and
named. Text a format cannot hold is replaced by its rule (EDL: line breaks and control
characters become spaces; log: tabs too; FCPXML and xmeml: control characters other than
tab and line ends become U+FFFD; markers in an EDL: &apos;|&apos; in the SP No. becomes U+FF5C), and
the rows so changed are named. CSV, the workbook and OTIO keep every character.
</translation>
    </message>
    <message>
        <source>
ファイルごとに1行、「LIST -&gt; OUTPUT」を標準出力に書き、書き出さなかったものを、ウィンド
ウが示すのと同じように括弧の中の注記で示します: 0001～0040の範囲外の番号の行、コード
ページ932でないバイト（U+FFFDとして表示）、項目にならない行。変換できなかったファイル
の行は標準エラー出力に書きます。

終了ステータス: すべてのファイルを書けたとき0、書けないファイルがあったとき1、使い方
の誤りのとき2。
</source>
        <translation>
One line per file: &quot;LIST -&gt; OUTPUT&quot; on standard output, with notes in brackets on what
was left out, as the window would show it: lines numbered outside 0001 to 0040, bytes
that are not code page 932 (shown as U+FFFD), rows that make no entry. A file that
could not be converted gets its line on standard error.

Exit status: 0 when every file was written, 1 when any file failed, 2 on a usage error.
</translation>
    </message>
    <message>
        <source>%1 のどれか1つを指定してください</source>
        <translation>give one of %1</translation>
    </message>
    <message>
        <source>%1、%2</source>
        <translation>%1 and %2</translation>
    </message>
    <message>
        <source>-o も -d もないときは、出力はそれぞれ入力と同じフォルダに新しい拡張子で書きます: spots.txtからは%1。すでにある出力はまるごと置き換え、それも新しい出力がディスク上にすべて書けてからです。プログラムが終わるとき、出力はすべてディスク上にあります。入力を上書きすることはなく、同じ出力になる2つの入力は最初のものだけを変換します。シンボリックリンクである出力（-o に指定したもの、または FOLDER の中にあるもの）はたどります: リンクが指す通常のファイルを同じように安全に置き換え、リンクはそのまま残ります。それ以外のもの（どこでもない、ループ、デバイス、FIFO、フォルダ）を指すリンクは拒み、ファイルで置き換えることはありません。読むのは通常のファイルだけです: LIST に指定した FIFO、デバイス、フォルダはすぐに拒みます。</source>
        <translation>Without -o or -d, each output goes beside its input with the new extension: spots.txt gives %1. An existing output is replaced whole, and only once the new one is complete on disk; every output is on disk when the program ends. An input is never overwritten, and of two inputs that would give the same output only the first is converted. An output that is a symbolic link (given to -o, or standing in FOLDER) is followed: the plain file it names is replaced as safely, and the link stays. A link that leads to anything else (nowhere, a loop, a device, a FIFO, a folder) is refused, never replaced by a file. Only plain files are read: a FIFO, a device or a folder given as a LIST is refused at once.</translation>
    </message>
    <message>
        <source>%1または%2</source>
        <translation>%1 or %2</translation>
    </message>
    <message>
        <source>詳しくは &apos;tarnwick-export --help&apos; を見てください。</source>
        <translation>Try &apos;tarnwick-export --help&apos;.</translation>
    </message>
    <message>
        <source>%1 に書き込めません</source>
        <translation>cannot write %1</translation>
    </message>
    <message>
        <source>--to-list はどの形式も読みます。形式は指定しないでください</source>
        <translation>--to-list reads every format: give no format with it</translation>
    </message>
    <message>
        <source>リストファイルが指定されていません</source>
        <translation>no list file given</translation>
    </message>
    <message>
        <source>-o と -d はどちらか一方だけを指定してください</source>
        <translation>give -o or -d, not both</translation>
    </message>
    <message>
        <source>-o と -d は1回だけ指定できます</source>
        <translation>-o and -d may be given once</translation>
    </message>
    <message>
        <source>-o に指定できるリストファイルは1つです。複数のときは -d を使ってください</source>
        <translation>-o takes a single list file; use -d for several</translation>
    </message>
    <message>
        <source>--rate には 24、25 または 30 を指定してください</source>
        <translation>--rate takes 24, 25 or 30</translation>
    </message>
    <message>
        <source>フォルダ %1 を作れません</source>
        <translation>cannot create folder %1</translation>
    </message>
    <message>
        <source>%1 は入力ファイルのため上書きしません</source>
        <translation>%1 is an input, not overwritten</translation>
    </message>
    <message>
        <source>%1 は前の入力から書き出し済みです</source>
        <translation>%1 written for an earlier input already</translation>
    </message>
    <message>
        <source>%1 は通常のファイルを指さないリンクのため置き換えません</source>
        <translation>%1 is a link to no plain file, not replaced</translation>
    </message>
</context>
<context>
    <name>EntryWord</name>
    <message>
        <source>行</source>
        <translation>row</translation>
    </message>
    <message>
        <source>イベント</source>
        <translation>event</translation>
    </message>
    <message>
        <source>クリップ</source>
        <translation>clip</translation>
    </message>
    <message>
        <source>マーカー</source>
        <translation>marker</translation>
    </message>
</context>
<context>
    <name>ExchangeCommands</name>
    <message>
        <source>書き出しできませんでした</source>
        <translation>The export could not be written</translation>
    </message>
    <message>
        <source>読み込み</source>
        <translation>Import</translation>
    </message>
</context>
<context>
    <name>FileCommands</name>
    <message>
        <source>%1 を保存しました</source>
        <translation>%1 saved</translation>
    </message>
    <message>
        <source>変更されています。保存しますか？</source>
        <translation>The list has changed. Save it?</translation>
    </message>
    <message>
        <source>新規リスト</source>
        <translation>New list</translation>
    </message>
    <message>
        <source>変更されています（保存していません）</source>
        <translation>Changed (not saved)</translation>
    </message>
</context>
<context>
    <name>FileDialog</name>
    <message>
        <source>名前を付けて保存</source>
        <translation>Save As</translation>
    </message>
    <message>
        <source>開く</source>
        <translation>Open</translation>
    </message>
</context>
<context>
    <name>Help</name>
    <message>
        <source>Tarnwick ヘルプ</source>
        <translation>Tarnwick Help</translation>
    </message>
</context>
<context>
    <name>ImportBudget</name>
    <message>
        <source>ファイルが大きすぎるため読み込めません（%1 MBまで）</source>
        <translation>The file is too large to read (at most %1 MB).</translation>
    </message>
    <message>
        <source>展開した内容が大きすぎるため読み込めません（%1 MB相当まで）</source>
        <translation>The file expands to too much to read (at most the equivalent of %1 MB).</translation>
    </message>
    <message>
        <source>項目が多すぎるため読み込めません（%1件まで）</source>
        <translation>The file holds too many entries to read (at most %1).</translation>
    </message>
    <message>
        <source>読み取れない行やマーカーが多すぎるため読み込めません（%1件まで）</source>
        <translation>The file has too many lines or markers that cannot be read (at most %1).</translation>
    </message>
    <message>
        <source>宣言を含むDTD（文書型定義）のあるXMLは読み込めません</source>
        <translation>XML whose document type (DTD) declares anything cannot be read.</translation>
    </message>
</context>
<context>
    <name>ListCommands</name>
    <message>
        <source>ﾌﾚｰﾑﾁｪｯｸ=%1(Drop)</source>
        <translation>Frame check=%1(Drop)</translation>
    </message>
    <message>
        <source>ﾌﾚｰﾑﾁｪｯｸ=%1(NonDrop)</source>
        <translation>Frame check=%1(NonDrop)</translation>
    </message>
    <message>
        <source>次の行のINまたはOUTは%1フレームにないタイムコードのため、DURATIONを計算していません（タイムコードはそのままです）。
対象のNo: %2</source>
        <translation>These rows have an IN or OUT that does not exist at %1 frames, so their DURATION is not calculated (the timecodes are kept as they are).
Rows No.: %2</translation>
    </message>
    <message>
        <source>リストのフレームレートをビデオファイルに合わせて%1にしました（元に戻すで戻せます）。
入力済みのタイムコードは前のレートで入力されたものです。</source>
        <translation>The list&apos;s frame rate was set to %1 to match the video file (Undo takes it back).
The timecodes already entered were entered at the previous rate.</translation>
    </message>
</context>
<context>
    <name>ListExport</name>
    <message>
        <source>行</source>
        <translation>a row</translation>
    </message>
    <message>
        <source>イベント</source>
        <translation>an event</translation>
    </message>
    <message>
        <source>クリップ</source>
        <translation>a clip</translation>
    </message>
    <message>
        <source>マーカー</source>
        <translation>a marker</translation>
    </message>
    <message>
        <source>次の行は%1にできないため書き出しませんでした（INまたはOUTがないか正しくない、OUTがIN以前など）。
対象のNo: </source>
        <translation>These rows could not become %1 and were not exported (IN or OUT missing or invalid, OUT not after IN, ...).
No.: </translation>
    </message>
    <message>
        <source>次の行の文字には、この形式で書けないもの（改行や制御文字など）があったため、置き換えて書き出しました。
対象のNo: </source>
        <translation>These rows held characters this format cannot hold (line breaks, control characters, ...), which were replaced in the export.
No.: </translation>
    </message>
</context>
<context>
    <name>ListImport</name>
    <message>
        <source>%1行目</source>
        <translation>line %1</translation>
    </message>
    <message>
        <source>%1番目のマーカー</source>
        <translation>marker %1</translation>
    </message>
    <message>
        <source>このファイルは読み込める形式ではありません</source>
        <translation>This file is in no format that can be imported</translation>
    </message>
    <message>
        <source>ファイル読み込みできませんでした</source>
        <translation>The file could not be read</translation>
    </message>
    <message>
        <source>リスト (%1)|%2|All Files (*.*)|*.*||</source>
        <translation>Lists (%1)|%2|All Files (*.*)|*.*||</translation>
    </message>
    <message>
        <source>%1から: リストは%2行までのため、%3件</source>
        <translation>from %1: %3 more, as a list holds %2 rows at most</translation>
    </message>
    <message>
        <source>%1: 読み取れませんでした</source>
        <translation>%1: could not be read</translation>
    </message>
    <message>
        <source>%1: %2 はタイムコードとして読み取れません</source>
        <translation>%1: %2 is no timecode</translation>
    </message>
    <message>
        <source>%1: %2 はこのフレームレートにないため、文字のまま入れました</source>
        <translation>%1: %2 does not exist at this frame rate; kept as text</translation>
    </message>
    <message>
        <source>%1: %2 はタイムコードとして読み取れないため、空欄にしました</source>
        <translation>%1: %2 is no timecode; left empty</translation>
    </message>
    <message>
        <source>ほか%1件</source>
        <translation>and %1 more</translation>
    </message>
    <message>
        <source>次のものは読み込みませんでした。</source>
        <translation>These were not imported.</translation>
    </message>
    <message>
        <source>次の行は読み込みましたが、使えないタイムコードがあります。</source>
        <translation>These rows were imported, but hold timecodes that cannot be used.</translation>
    </message>
</context>
<context>
    <name>ListReadNotes</name>
    <message>
        <source>Noは0001から%1の間にしてください、範囲外のNoは読み込めません</source>
        <translation>No. must be between 0001 and %1; rows outside that range cannot be read</translation>
    </message>
    <message>
        <source>～</source>
        <translation>-</translation>
    </message>
    <message>
        <source> ほか%1行</source>
        <translation> and %1 more</translation>
    </message>
    <message>
        <source>・%1: Noが0001～%2の範囲外です</source>
        <translation>- Lines %1: No. outside 0001 to %2</translation>
    </message>
    <message>
        <source>・%1: 後に同じNoの行があり、そちらを読み込みました</source>
        <translation>- Lines %1: a later line has the same No. and was read instead</translation>
    </message>
    <message>
        <source>・%1: Noで始まらないため、リストの行ではありません</source>
        <translation>- Lines %1: not list rows, as they do not start with a No.</translation>
    </message>
    <message>
        <source>次の行は読み込みませんでした。
</source>
        <translation>These lines were not read.
</translation>
    </message>
    <message>
        <source>このファイルは先頭にBOMがあるため、UTF-8として読み込みました。
保存するとShift-JIS（コードページ932）で書き込みます。</source>
        <translation>This file starts with a byte-order mark, so it was read as UTF-8.
Saving writes it as Shift-JIS (code page 932).</translation>
    </message>
    <message>
        <source>ファイルが大きすぎるため読み込めませんでした。リストファイルは%1 MB（%2バイト）までです。</source>
        <translation>The file is too large to read. A list file may have at most %1 MB (%2 bytes).</translation>
    </message>
    <message>
        <source>通常のファイルではないため読み込めません（FIFO、デバイス、フォルダなど）</source>
        <translation>This is no plain file and cannot be read (a FIFO, a device, a folder or the like).</translation>
    </message>
    <message>
        <source>%1行目</source>
        <translation>%1</translation>
    </message>
    <message>
        <source>、ほか%1行</source>
        <translation> and %1 more</translation>
    </message>
    <message>
        <source>BOMがあるためUTF-8として読み込み（Tarnwickはコードページ932で保存）</source>
        <translation>read as UTF-8 for its byte-order mark; Tarnwick saves code page 932</translation>
    </message>
    <message>
        <source>Noが0001～%1の範囲外のため読み込まなかった行: %2</source>
        <translation>lines numbered outside 0001 to %1 not read: %2</translation>
    </message>
    <message>
        <source>後に同じNoの行があるため読み込まなかった行: %1</source>
        <translation>lines whose No. a later line repeats not read: %1</translation>
    </message>
    <message>
        <source>リストの行ではないため読み込まなかった行: %1</source>
        <translation>lines that are no list rows not read: %1</translation>
    </message>
    <message>
        <source>リストファイルの上限%1 MiB（%2バイト）を超えています</source>
        <translation>larger than the %1 MiB (%2 bytes) a list file may have</translation>
    </message>
</context>
<context>
    <name>LiveSource</name>
    <message>
        <source>%1 がありません</source>
        <translation>%1 is not there</translation>
    </message>
    <message>
        <source>%1 を開けません</source>
        <translation>cannot open %1</translation>
    </message>
</context>
<context>
    <name>PictureWindow</name>
    <message>
        <source>ビデオ</source>
        <translation>Video</translation>
    </message>
</context>
<context>
    <name>PrintCommands</name>
    <message>
        <source>印刷できませんでした</source>
        <translation>Printing failed</translation>
    </message>
</context>
<context>
    <name>PrintDialog</name>
    <message>
        <source>プリンタの設定</source>
        <translation>Print Setup</translation>
    </message>
    <message>
        <source>プリンタ</source>
        <translation>Printer</translation>
    </message>
    <message>
        <source>PDF ファイル</source>
        <translation>PDF file</translation>
    </message>
    <message>
        <source>参照(&amp;B)...</source>
        <translation>&amp;Browse...</translation>
    </message>
    <message>
        <source>プリンタ名(&amp;N):</source>
        <translation>&amp;Name:</translation>
    </message>
    <message>
        <source>出力ファイル(&amp;F):</source>
        <translation>Output &amp;file:</translation>
    </message>
    <message>
        <source>用紙</source>
        <translation>Paper</translation>
    </message>
    <message>
        <source>サイズ(&amp;Z):</source>
        <translation>Si&amp;ze:</translation>
    </message>
    <message>
        <source>印刷の向き</source>
        <translation>Orientation</translation>
    </message>
    <message>
        <source>縦(&amp;O)</source>
        <translation>P&amp;ortrait</translation>
    </message>
    <message>
        <source>横(&amp;A)</source>
        <translation>L&amp;andscape</translation>
    </message>
    <message>
        <source>キャンセル</source>
        <translation>Cancel</translation>
    </message>
    <message>
        <source>PDF ファイル (*.pdf)|*.pdf||</source>
        <translation>PDF Files (*.pdf)|*.pdf||</translation>
    </message>
</context>
<context>
    <name>PrintDocumentName</name>
    <message>
        <source>印刷</source>
        <translation>Print</translation>
    </message>
</context>
<context>
    <name>PrintPages</name>
    <message>
        <source>%1 / %2 ページ</source>
        <translation>Page %1 / %2</translation>
    </message>
</context>
<context>
    <name>RecoveryKeeper</name>
    <message>
        <source>前回保存されなかったリストがあります。復元しますか？</source>
        <translation>A list was left unsaved last time. Restore it?</translation>
    </message>
    <message>
        <source>形式が違うか、途中で切れています</source>
        <translation>it is in another format or cut short</translation>
    </message>
    <message>
        <source>フォルダが見つかりません</source>
        <translation>the folder does not exist</translation>
    </message>
    <message>
        <source>空き容量が足りません</source>
        <translation>the disk is full</translation>
    </message>
    <message>
        <source>書き込みが許可されていません</source>
        <translation>writing is not permitted</translation>
    </message>
    <message>
        <source>読み取りが許可されていません</source>
        <translation>reading is not permitted</translation>
    </message>
    <message>
        <source>同じ名前で通常のファイルでないもの（リンク、FIFOなど）があります</source>
        <translation>something other than a plain file (a link, a FIFO) has that name</translation>
    </message>
    <message>
        <source>通常のファイルではありません（リンク、FIFOなど）</source>
        <translation>it is not a plain file (a link, a FIFO)</translation>
    </message>
    <message>
        <source>どのリストよりも大きいファイルです</source>
        <translation>it is larger than any list can be</translation>
    </message>
    <message>
        <source>書き込みに失敗しました</source>
        <translation>writing failed</translation>
    </message>
    <message>
        <source>読み込みに失敗しました</source>
        <translation>reading failed</translation>
    </message>
    <message>
        <source>
（このコピーを最後に書き込んだ日時: %1）</source>
        <translation>
(This copy was last written on %1.)</translation>
    </message>
    <message>
        <source>前回の復元用コピーを読み込めませんでした（%1）。
次の名前で残してあります:
%2</source>
        <translation>The recovery copy from last time could not be read (%1).
It was kept under this name:
%2</translation>
    </message>
    <message>
        <source>前回の復元用コピーを読み込めませんでした（%1）。
別の名前に移せなかったため、そのまま残してあります:
%2
このファイルを移すか削除するまで、復元用コピーは作られません。</source>
        <translation>The recovery copy from last time could not be read (%1).
It could not be moved to another name, so it was left where it is:
%2
No recovery copy is made until this file is moved or deleted.</translation>
    </message>
    <message>
        <source>復元用コピーを保存できません</source>
        <translation>Recovery copy not saved</translation>
    </message>
    <message>
        <source>作業フォルダ %1 に%2を作れません（%3）。
強制終了や停電のとき、保存していない変更は戻りません。
次の変更のときにもう一度書き込みます。</source>
        <translation>The %2 cannot be made in the working folder %1 (%3).
After a crash or a power cut, unsaved changes cannot be restored.
It is written again at the next change.</translation>
    </message>
    <message>
        <source>復元用コピーのロック</source>
        <translation>recovery copy&apos;s lock</translation>
    </message>
    <message>
        <source>復元用コピー</source>
        <translation>recovery copy</translation>
    </message>
    <message>
        <source>復元用コピーは別のTarnwickが使用中</source>
        <translation>Recovery copy used by another Tarnwick</translation>
    </message>
    <message>
        <source>同じ作業フォルダ %1 で動いている別のTarnwickが復元用コピーを使っているため、このTarnwickは復元用コピーを作りません。
強制終了や停電のとき、保存していない変更は戻りません。</source>
        <translation>Another Tarnwick running in the same working folder %1 uses the recovery copy, so this one makes none.
After a crash or a power cut, unsaved changes cannot be restored.</translation>
    </message>
</context>
<context>
    <name>SourceCommands</name>
    <message>
        <source>%1 %2（リストは%3フレーム）</source>
        <translation>%1 %2 (list: %3 fps)</translation>
    </message>
    <message>
        <source>タイムコードは%1フレーム、リストは%2フレームです。リストのメニューの「フレームレート」で合わせてください。</source>
        <translation>The timecode is %1 fps and the list %2 fps. Match them with &quot;Frame rate&quot; in the list&apos;s menu.</translation>
    </message>
</context>
<context>
    <name>TransportCaption</name>
    <message>
        <source>未定義コマンド</source>
        <translation>undefined command</translation>
    </message>
    <message>
        <source>チェックサムエラー</source>
        <translation>checksum error</translation>
    </message>
    <message>
        <source>パリティエラー</source>
        <translation>parity error</translation>
    </message>
    <message>
        <source>オーバーラン</source>
        <translation>overrun</translation>
    </message>
    <message>
        <source>フレーミングエラー</source>
        <translation>framing error</translation>
    </message>
    <message>
        <source>タイムアウト</source>
        <translation>time-out</translation>
    </message>
    <message>
        <source>・</source>
        <translation>, </translation>
    </message>
    <message>
        <source>応答なし</source>
        <translation>No reply</translation>
    </message>
    <message>
        <source>最後のコマンドは拒否されました（%1）。</source>
        <translation>The last command was refused (%1).</translation>
    </message>
    <message>
        <source>理由不明</source>
        <translation>reason unknown</translation>
    </message>
    <message>
        <source>最後のコマンドに応答がありません。ケーブルとデッキのリモート設定を確かめてください。</source>
        <translation>The last command got no reply. Check the cable and the deck&apos;s remote setting.</translation>
    </message>
    <message>
        <source>デッキがローカルです。リモートに切り替えてください。</source>
        <translation>The deck is in local. Switch it to remote.</translation>
    </message>
    <message>
        <source>テープが入っていません。</source>
        <translation>No tape is loaded.</translation>
    </message>
</context>
<context>
    <name>TransportCommands</name>
    <message>
        <source>Victor のデッキとは時刻の読み取りだけを交わします。推測のコードを実機に送らないよう、トランスポートは使えません。</source>
        <translation>With a Victor deck only the time is read. Transport is off, so that no guessed codes reach a real deck.</translation>
    </message>
    <message>
        <source>%1 はタイムコードを聞くだけのソースで、動かすことはできません。</source>
        <translation>%1 is a source that is only listened to; it cannot be moved.</translation>
    </message>
    <message>
        <source>テープを取り出しますか？</source>
        <translation>Eject the tape?</translation>
    </message>
    <message>
        <source>行 %1 の %2 にタイムコードがありません</source>
        <translation>Row %1 has no timecode in %2</translation>
    </message>
</context>
<context>
    <name>VideoFile</name>
    <message>
        <source>ビデオファイル (*.mov *.mp4 *.m4v *.mxf *.mkv *.avi *.mts *.m2ts *.webm)|*.mov;*.mp4;*.m4v;*.mxf;*.mkv;*.avi;*.mts;*.m2ts;*.webm|All Files (*.*)|*.*||</source>
        <translation>Video Files (*.mov *.mp4 *.m4v *.mxf *.mkv *.avi *.mts *.m2ts *.webm)|*.mov;*.mp4;*.m4v;*.mxf;*.mkv;*.avi;*.mts;*.m2ts;*.webm|All Files (*.*)|*.*||</translation>
    </message>
    <message>
        <source>ビデオファイルを開く</source>
        <translation>Open Video File</translation>
    </message>
</context>
<context>
    <name>VideoFileSource</name>
    <message>
        <source>StartTimecode「%1」は%2のタイムコードではありません：ファイルのタイムコードを使います</source>
        <translation>StartTimecode &quot;%1&quot; is no %2 timecode: the file&apos;s timecode is used</translation>
    </message>
    <message>
        <source>「%1」を再生できません：プレーヤー(libmpv)が起動しません</source>
        <translation>Cannot play &quot;%1&quot;: the player (libmpv) does not start</translation>
    </message>
    <message>
        <source>ビデオ — %1</source>
        <translation>Video — %1</translation>
    </message>
    <message>
        <source>「%1」を再生できません（%2）</source>
        <translation>Cannot play &quot;%1&quot; (%2)</translation>
    </message>
</context>
<context>
    <name>VideoModule</name>
    <message>
        <source>ビデオモジュールを読み込めません：</source>
        <translation>Cannot load the video module: </translation>
    </message>
    <message>
        <source>ビデオモジュールが違います：</source>
        <translation>Wrong video module: </translation>
    </message>
    <message>
        <source>ビデオプレーヤー(libmpv)を起動できません</source>
        <translation>Cannot start the video player (libmpv)</translation>
    </message>
</context>
<context>
    <name>VideoProbe</name>
    <message>
        <source>「%1」</source>
        <translation>&quot;%1&quot;</translation>
    </message>
    <message>
        <source>が見つかりません</source>
        <translation> was not found</translation>
    </message>
    <message>
        <source>を開けません（%1）</source>
        <translation> cannot be opened (%1)</translation>
    </message>
    <message>
        <source>はファイルではありません</source>
        <translation> is not a file</translation>
    </message>
    <message>
        <source>を読む権限がありません</source>
        <translation> may not be read</translation>
    </message>
    <message>
        <source>はビデオファイルではありません</source>
        <translation> is not a video file</translation>
    </message>
    <message>
        <source>は壊れているため読めません</source>
        <translation> is damaged and cannot be read</translation>
    </message>
    <message>
        <source>には映像がありません</source>
        <translation> has no picture</translation>
    </message>
    <message>
        <source>はフレームレートが分からないため使えません</source>
        <translation> has no known frame rate and cannot be used</translation>
    </message>
    <message>
        <source>はフレームレートが一定でないため使えません</source>
        <translation> has no steady frame rate and cannot be used</translation>
    </message>
    <message>
        <source>は%1フレーム/秒です：使えるのは23.976・24・25・29.97・30フレーム/秒のファイルです</source>
        <translation> is %1 fps: files at 23.976, 24, 25, 29.97 or 30 fps can be used</translation>
    </message>
    <message>
        <source>にはタイムコードがありません：00:00:00:00から数えます</source>
        <translation> has no timecode: counting from 00:00:00:00</translation>
    </message>
    <message>
        <source>のタイムコード「%1」は読めません：00:00:00:00から数えます</source>
        <translation>: its timecode &quot;%1&quot; cannot be read: counting from 00:00:00:00</translation>
    </message>
    <message>
        <source>には映像のフレームがありません</source>
        <translation> has no video frames</translation>
    </message>
</context>
</TS>
