<?xml version="1.0" encoding="utf-8"?>
<!DOCTYPE TS>
<TS version="2.1" language="en_US">
<context>
    <name>DesktopMailComposer</name>
    <message>
        <source>The note is too long for a mail link: the whole text is on the clipboard.</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>No mail program could be opened for the note.</source>
        <translation type="unfinished"></translation>
    </message>
</context>
<context>
    <name>Localizable</name>
    <message>
        <source>title_network_connection_required</source>
        <translation>A network connection is required. Check that this computer is online.</translation>
    </message>
    <message>
        <source>title_enter_server_name</source>
        <translation>Enter the server name in Preferences.</translation>
    </message>
    <message>
        <source>title_enter_login_password</source>
        <translation>Enter your login and password in Preferences.</translation>
    </message>
    <message>
        <source>title_client</source>
        <translation>Client</translation>
    </message>
    <message>
        <source>title_project</source>
        <translation>Project</translation>
    </message>
</context>
<context>
    <name>MainWindow</name>
    <message>
        <source>Notes</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Waiting for the server</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Status</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>&amp;File</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>&amp;Preferences…</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Ctrl+,</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>&amp;Quit</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>&amp;Note</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>&amp;Find</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>&amp;Search</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Ctrl+R</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>&amp;Save</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>&amp;New note</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>New note for the &amp;client</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Ctrl+Shift+C</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>New note for the &amp;project</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Ctrl+Shift+P</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>New note for &amp;both</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Ctrl+Shift+B</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>&amp;Delete</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>&amp;Mail</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Ctrl+M</source>
        <translation type="unfinished"></translation>
    </message>
</context>
<context>
    <name>NotesTableModel</name>
    <message>
        <source>Created %1</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Client</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Project</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Note</source>
        <translation type="unfinished"></translation>
    </message>
</context>
<context>
    <name>PreferencesViewController</name>
    <message>
        <source>Preferences</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>&amp;Host:</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Host</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>notes.example.com</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>&amp;Path:</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Path</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>&amp;Login:</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Login</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Pass&amp;word:</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Password</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Save and &amp;connect</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Save and connect</source>
        <translation type="unfinished"></translation>
    </message>
</context>
<context>
    <name>ViewController</name>
    <message>
        <source>Notes</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Client search</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Project search</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Note search</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Search</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>C&amp;lient:</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Client</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>P&amp;roject:</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Project</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Note text</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>&amp;Save</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Save</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>&amp;Delete</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Delete</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>&amp;Mail</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Mail</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>&amp;New note</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>New note</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>New for cl&amp;ient</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>New note for the client</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>New for &amp;project</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>New note for the project</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>New for &amp;both</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>New note for the client and the project</source>
        <translation type="unfinished"></translation>
    </message>
</context>
</TS>
