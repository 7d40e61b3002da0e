<?xml version="1.0" encoding="utf-8"?>
<!DOCTYPE TS>
<TS version="2.1" language="en_US">
<context>
    <name>ComboPickList</name>
    <message>
        <location filename="../../lists/ComboPickList.cpp" line="52"/>
        <source>%1 (inactive)</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <location filename="../../lists/ComboPickList.cpp" line="54"/>
        <source>%1 is no longer in the list; the note keeps it.</source>
        <translation type="unfinished"></translation>
    </message>
</context>
<context>
    <name>DesktopMailComposer</name>
    <message>
        <location filename="../../notes/DesktopMailComposer.cpp" line="41"/>
        <source>The note is too long for a mail link: the whole text is on the clipboard.</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <location filename="../../notes/DesktopMailComposer.cpp" line="46"/>
        <source>No mail program could be opened for the note.</source>
        <translation type="unfinished"></translation>
    </message>
</context>
<context>
    <name>DraftsDialog</name>
    <message>
        <location filename="../DraftsDialog.ui" line="8"/>
        <location filename="../DraftsDialog.ui" line="9"/>
        <location filename="../DraftsDialog.ui" line="19"/>
        <source>Drafts</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <location filename="../DraftsDialog.ui" line="13"/>
        <source>Unsaved edits of this account. They stay on this computer until you save or discard them.</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <location filename="../DraftsDialog.ui" line="26"/>
        <source>&amp;Open</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <location filename="../DraftsDialog.ui" line="27"/>
        <source>Open the draft&apos;s note</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <location filename="../DraftsDialog.ui" line="32"/>
        <source>&amp;Add as new note</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <location filename="../DraftsDialog.ui" line="33"/>
        <source>Add the draft as a new note</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <location filename="../DraftsDialog.ui" line="38"/>
        <source>&amp;Discard</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <location filename="../DraftsDialog.ui" line="39"/>
        <source>Discard the draft</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <location filename="../DraftsDialog.ui" line="49"/>
        <source>&amp;Close</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <location filename="../DraftsDialog.ui" line="50"/>
        <source>Close</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <location filename="../../notes/DraftsDialog.cpp" line="56"/>
        <source>in the list</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <location filename="../../notes/DraftsDialog.cpp" line="57"/>
        <source>not in the list (filtered out or deleted)</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <location filename="../../notes/DraftsDialog.cpp" line="59"/>
        <source>%1 (edited %2, %3)</source>
        <translation type="unfinished"></translation>
    </message>
</context>
<context>
    <name>Localizable</name>
    <message>
        <location filename="../../core/Localization.cpp" line="14"/>
        <source>title_network_connection_required</source>
        <translation>A network connection is required. Check that this computer is online.</translation>
    </message>
    <message>
        <location filename="../../core/Localization.cpp" line="15"/>
        <source>title_enter_server_name</source>
        <translation>Enter the server name in Preferences.</translation>
    </message>
    <message>
        <location filename="../../core/Localization.cpp" line="16"/>
        <source>title_enter_login_password</source>
        <translation>Enter your login and password in Preferences.</translation>
    </message>
    <message>
        <location filename="../../core/Localization.cpp" line="17"/>
        <source>title_client</source>
        <translation>Client</translation>
    </message>
    <message>
        <location filename="../../core/Localization.cpp" line="18"/>
        <source>title_project</source>
        <translation>Project</translation>
    </message>
</context>
<context>
    <name>MainWindow</name>
    <message>
        <location filename="../../app/MainWindow.cpp" line="35"/>
        <location filename="../../app/MainWindow.cpp" line="105"/>
        <source>Notes</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <location filename="../../app/MainWindow.cpp" line="42"/>
        <source>Waiting for the server</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <location filename="../../app/MainWindow.cpp" line="45"/>
        <source>Status</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <location filename="../../app/MainWindow.cpp" line="70"/>
        <source>Alerts</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <location filename="../../app/MainWindow.cpp" line="72"/>
        <location filename="../../app/MainWindow.cpp" line="73"/>
        <source>Dismiss</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <location filename="../../app/MainWindow.cpp" line="105"/>
        <source>Notes — %1</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <location filename="../../app/MainWindow.cpp" line="146"/>
        <source>Changes are still being sent</source>
        <translation type="unfinished"></translation>
    </message>
    <message numerus="yes">
        <location filename="../../app/MainWindow.cpp" line="147"/>
        <source>%n change(s) have not reached the server yet. Wait for them and quit then, or quit now and keep unsent edits as drafts?</source>
        <translation>
            <numerusform>%n change has not reached the server yet. Wait for it and quit then, or quit now and keep unsent edits as drafts?</numerusform>
            <numerusform>%n changes have not reached the server yet. Wait for them and quit then, or quit now and keep unsent edits as drafts?</numerusform>
        </translation>
    </message>
    <message>
        <location filename="../../app/MainWindow.cpp" line="151"/>
        <source>Wait, then quit</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <location filename="../../app/MainWindow.cpp" line="152"/>
        <source>Quit now</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <location filename="../../app/MainWindow.cpp" line="153"/>
        <source>Stay</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <location filename="../../app/MainWindow.cpp" line="166"/>
        <source>Waiting for the server; the window closes when it has answered.</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <location filename="../../app/MainWindow.cpp" line="235"/>
        <source>&amp;File</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <location filename="../../app/MainWindow.cpp" line="236"/>
        <source>&amp;Preferences…</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <location filename="../../app/MainWindow.cpp" line="236"/>
        <source>Ctrl+,</source>
        <translation>Ctrl+,</translation>
    </message>
    <message>
        <location filename="../../app/MainWindow.cpp" line="241"/>
        <source>&amp;Quit</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <location filename="../../app/MainWindow.cpp" line="244"/>
        <source>&amp;Note</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <location filename="../../app/MainWindow.cpp" line="245"/>
        <source>&amp;Find</source>
        <translation type="unfinished"></translation>
    </message>
</context>
<context>
    <name>NoteActions</name>
    <message>
        <location filename="../../notes/NoteActions.cpp" line="18"/>
        <source>&amp;Search</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <location filename="../../notes/NoteActions.cpp" line="18"/>
        <source>Ctrl+R</source>
        <translation>Ctrl+R</translation>
    </message>
    <message>
        <location filename="../../notes/NoteActions.cpp" line="19"/>
        <source>&amp;Save</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <location filename="../../notes/NoteActions.cpp" line="20"/>
        <source>&amp;New note</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <location filename="../../notes/NoteActions.cpp" line="21"/>
        <source>New note for the &amp;client</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <location filename="../../notes/NoteActions.cpp" line="21"/>
        <source>Ctrl+Shift+C</source>
        <translation>Ctrl+Shift+C</translation>
    </message>
    <message>
        <location filename="../../notes/NoteActions.cpp" line="22"/>
        <source>New note for the &amp;project</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <location filename="../../notes/NoteActions.cpp" line="22"/>
        <source>Ctrl+Shift+P</source>
        <translation>Ctrl+Shift+P</translation>
    </message>
    <message>
        <location filename="../../notes/NoteActions.cpp" line="23"/>
        <source>New note for &amp;both</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <location filename="../../notes/NoteActions.cpp" line="23"/>
        <source>Ctrl+Shift+B</source>
        <translation>Ctrl+Shift+B</translation>
    </message>
    <message>
        <location filename="../../notes/NoteActions.cpp" line="24"/>
        <source>&amp;Delete</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <location filename="../../notes/NoteActions.cpp" line="25"/>
        <source>&amp;Mail</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <location filename="../../notes/NoteActions.cpp" line="25"/>
        <source>Ctrl+M</source>
        <translation>Ctrl+M</translation>
    </message>
    <message>
        <location filename="../../notes/NoteActions.cpp" line="26"/>
        <source>&amp;Revert to the saved text</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <location filename="../../notes/NoteActions.cpp" line="27"/>
        <source>D&amp;rafts…</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <location filename="../../notes/NoteActions.cpp" line="28"/>
        <source>&amp;Reconnect</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <location filename="../../notes/NoteActions.cpp" line="28"/>
        <source>Ctrl+Shift+R</source>
        <translation>Ctrl+Shift+R</translation>
    </message>
    <message>
        <location filename="../../notes/NoteActions.cpp" line="29"/>
        <source>&amp;Forget offline copy</source>
        <translation type="unfinished"></translation>
    </message>
</context>
<context>
    <name>NotesAccount</name>
    <message>
        <location filename="../../notes/NotesAccount.cpp" line="59"/>
        <source>Your draft could not be written to disk (%1). It is kept while the program runs; save the note or free the disk.</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <location filename="../../notes/NotesAccount.cpp" line="64"/>
        <source>The drafts file of %1 could not be read; it was set aside as %2.</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <location filename="../../notes/NotesAccount.cpp" line="96"/>
        <source>%1: %2</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <location filename="../../notes/NotesAccount.cpp" line="118"/>
        <source>No network connection. Signing in is tried all the same.</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <location filename="../../notes/NotesAccount.cpp" line="155"/>
        <source>The server at %1 answered the login with HTTP status %2. Check the host and the path in Preferences.</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <location filename="../../notes/NotesAccount.cpp" line="159"/>
        <source>The server at %1 did not answer like a notes server. Check the host and the path in Preferences.</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <location filename="../../notes/NotesAccount.cpp" line="169"/>
        <source>Signed in to %1 as %2. Loading the notes…</source>
        <translation type="unfinished"></translation>
    </message>
    <message numerus="yes">
        <location filename="../../notes/NotesAccount.cpp" line="180"/>
        <source>The server cannot be reached. Saving, adding and deleting wait until it is back; your edits are kept as drafts. Trying again in %n second(s).</source>
        <translation>
            <numerusform>The server cannot be reached. Saving, adding and deleting wait until it is back; your edits are kept as drafts. Trying again in %n second.</numerusform>
            <numerusform>The server cannot be reached. Saving, adding and deleting wait until it is back; your edits are kept as drafts. Trying again in %n seconds.</numerusform>
        </translation>
    </message>
    <message>
        <location filename="../../notes/NotesAccount.cpp" line="208"/>
        <source>The offline copy could not be used; it was set aside as %1.</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <location filename="../../notes/NotesAccount.cpp" line="220"/>
        <source>Offline copy from %1</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <location filename="../../notes/NotesAccount.cpp" line="276"/>
        <source>Not while the server cannot be reached; your edits are kept as drafts.</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <location filename="../../notes/NotesAccount.cpp" line="278"/>
        <source>Not while the table shows the offline copy; your edits are kept as drafts until the server&apos;s list arrives.</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <location filename="../../notes/NotesAccount.cpp" line="281"/>
        <source>Not before you are signed in; your edits are kept as drafts.</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <location filename="../../notes/NotesAccount.cpp" line="289"/>
        <source>Offline copy from %1: these notes are what the server held then.</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <location filename="../../notes/NotesAccount.cpp" line="292"/>
        <source>The server cannot be reached; search works on the copy.</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <location filename="../../notes/NotesAccount.cpp" line="294"/>
        <source>The server cannot be reached. Your edits are kept as drafts.</source>
        <translation type="unfinished"></translation>
    </message>
    <message numerus="yes">
        <location filename="../../notes/NotesAccount.cpp" line="382"/>
        <source>%n note(s) found in the offline copy.</source>
        <translation>
            <numerusform>%n note found in the offline copy.</numerusform>
            <numerusform>%n notes found in the offline copy.</numerusform>
        </translation>
    </message>
    <message numerus="yes">
        <location filename="../../notes/NotesAccount.cpp" line="402"/>
        <source>%n note(s) found.</source>
        <translation>
            <numerusform>%n note found.</numerusform>
            <numerusform>%n notes found.</numerusform>
        </translation>
    </message>
    <message numerus="yes">
        <location filename="../../notes/NotesAccount.cpp" line="403"/>
        <source>%n note(s) loaded.</source>
        <translation>
            <numerusform>%n note loaded.</numerusform>
            <numerusform>%n notes loaded.</numerusform>
        </translation>
    </message>
    <message>
        <location filename="../../notes/NotesAccount.cpp" line="427"/>
        <source>Note added; it is not in the current search</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <location filename="../../notes/NotesAccount.cpp" line="430"/>
        <source>The note of this draft is not in the list (it may be deleted, or beyond the %1 notes loaded). Search for it, or add the draft as a new note from Note → Drafts…</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <location filename="../../notes/NotesAccount.cpp" line="436"/>
        <source>The note you were editing is no longer on the server. Your text stays in the editor and is kept as a draft; add it as a new note from Note → Drafts…</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <location filename="../../notes/NotesAccount.cpp" line="462"/>
        <source>Not saved: the note is no longer in the list. Your text is kept as a draft.</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <location filename="../../notes/NotesAccount.cpp" line="516"/>
        <source>The draft was dropped; the note shows the saved text.</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <location filename="../../notes/NotesAccount.cpp" line="560"/>
        <source>The offline copy of this account was deleted.</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <location filename="../../notes/NotesAccount.cpp" line="593"/>
        <source>Note saved.</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <location filename="../../notes/NotesAccount.cpp" line="595"/>
        <source>The connection broke while the note was being saved: it may or may not be stored. Your text is kept as a draft.</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <location filename="../../notes/NotesAccount.cpp" line="598"/>
        <source>Note not saved: %1. Your text is kept.</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <location filename="../../notes/NotesAccount.cpp" line="616"/>
        <source>Note added.</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <location filename="../../notes/NotesAccount.cpp" line="618"/>
        <source>The connection broke while the note was being added: it may or may not exist now. Check the list before adding it again.</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <location filename="../../notes/NotesAccount.cpp" line="621"/>
        <source>Note not added: %1.</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <location filename="../../notes/NotesAccount.cpp" line="634"/>
        <source>Note deleted.</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <location filename="../../notes/NotesAccount.cpp" line="636"/>
        <source>The connection broke while the note was being deleted: it may or may not be gone.</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <location filename="../../notes/NotesAccount.cpp" line="639"/>
        <source>Note not deleted: %1.</source>
        <translation type="unfinished"></translation>
    </message>
</context>
<context>
    <name>NotesTableModel</name>
    <message>
        <location filename="../../notes/NotesTableModel.cpp" line="110"/>
        <source>%1, unsaved draft</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <location filename="../../notes/NotesTableModel.cpp" line="124"/>
        <source>The server&apos;s time stamp cannot be read: %1</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <location filename="../../notes/NotesTableModel.cpp" line="127"/>
        <source>

Unsaved draft: select the note to see it, Save to store it.</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <location filename="../../notes/NotesTableModel.cpp" line="150"/>
        <source>Client</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <location filename="../../notes/NotesTableModel.cpp" line="152"/>
        <source>Project</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <location filename="../../notes/NotesTableModel.cpp" line="154"/>
        <source>Note</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <location filename="../../notes/NotesTableModel.cpp" line="156"/>
        <source>Created</source>
        <translation type="unfinished"></translation>
    </message>
</context>
<context>
    <name>PasswordStore</name>
    <message>
        <location filename="../../core/PasswordStore.cpp" line="103"/>
        <source>No desktop keychain answered: your password is kept in the settings file, readable by you alone.</source>
        <translation type="unfinished"></translation>
    </message>
</context>
<context>
    <name>PreferencesViewController</name>
    <message>
        <location filename="../PreferencesViewController.ui" line="9"/>
        <location filename="../PreferencesViewController.ui" line="12"/>
        <source>Preferences</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <location filename="../PreferencesViewController.ui" line="19"/>
        <source>&amp;Host:</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <location filename="../PreferencesViewController.ui" line="25"/>
        <source>Host</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <location filename="../PreferencesViewController.ui" line="26"/>
        <source>notes.example.com</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <location filename="../PreferencesViewController.ui" line="38"/>
        <source>&amp;Path:</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <location filename="../PreferencesViewController.ui" line="44"/>
        <source>Path</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <location filename="../PreferencesViewController.ui" line="56"/>
        <source>&amp;Login:</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <location filename="../PreferencesViewController.ui" line="62"/>
        <source>Login</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <location filename="../PreferencesViewController.ui" line="67"/>
        <source>Pass&amp;word:</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <location filename="../PreferencesViewController.ui" line="73"/>
        <source>Password</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <location filename="../PreferencesViewController.ui" line="92"/>
        <source>Connecting</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <location filename="../PreferencesViewController.ui" line="102"/>
        <source>Save and &amp;connect</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <location filename="../PreferencesViewController.ui" line="103"/>
        <source>Save and connect</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <location filename="../../prefs/PreferencesViewController.cpp" line="36"/>
        <location filename="../../prefs/PreferencesViewController.cpp" line="37"/>
        <source>Cancel</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <location filename="../../prefs/PreferencesViewController.cpp" line="172"/>
        <source>Enter the server&apos;s host name.</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <location filename="../../prefs/PreferencesViewController.cpp" line="175"/>
        <source>Enter a host name such as notes.example.com, an IPv4 address or an IPv6 address in brackets, optionally followed by :port (1 to 65535).</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <location filename="../../prefs/PreferencesViewController.cpp" line="180"/>
        <source>Leave the path empty or start it with &quot;/&quot;; it cannot hold @ ? # \, blanks or control characters.</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <location filename="../../prefs/PreferencesViewController.cpp" line="201"/>
        <source>Connecting to %1…</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <location filename="../../prefs/PreferencesViewController.cpp" line="218"/>
        <source>The login did not succeed.</source>
        <translation type="unfinished"></translation>
    </message>
</context>
<context>
    <name>RequestReport</name>
    <message>
        <location filename="../../net/RequestReport.cpp" line="34"/>
        <source>Not signed in: %1.</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <location filename="../../net/RequestReport.cpp" line="37"/>
        <source>The clients could not be loaded: %1.</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <location filename="../../net/RequestReport.cpp" line="39"/>
        <source>The projects could not be loaded: %1.</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <location filename="../../net/RequestReport.cpp" line="41"/>
        <source>The notes could not be loaded: %1. The list shows what it showed before.</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <location filename="../../net/RequestReport.cpp" line="78"/>
        <source>the server refused it: %1</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <location filename="../../net/RequestReport.cpp" line="81"/>
        <source>the connection broke before the server answered</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <location filename="../../net/RequestReport.cpp" line="82"/>
        <source>the server could not be reached (%1)</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <location filename="../../net/RequestReport.cpp" line="85"/>
        <source>the server&apos;s answer could not be read</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <location filename="../../net/RequestReport.cpp" line="88"/>
        <source>the server&apos;s answer is not an HTTP answer</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <location filename="../../net/RequestReport.cpp" line="89"/>
        <source>the server answered with HTTP status %1</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <location filename="../../net/RequestReport.cpp" line="91"/>
        <source>it was cancelled</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <location filename="../../net/RequestReport.cpp" line="104"/>
        <source>The server sent more than %1 items; %2 more were left out.</source>
        <translation type="unfinished"></translation>
    </message>
    <message numerus="yes">
        <location filename="../../net/RequestReport.cpp" line="115"/>
        <source>The server&apos;s list broke off: only the %n item(s) before the break are shown.</source>
        <translation>
            <numerusform>The server&apos;s list broke off: only the %n item before the break is shown.</numerusform>
            <numerusform>The server&apos;s list broke off: only the %n items before the break are shown.</numerusform>
        </translation>
    </message>
</context>
<context>
    <name>SaveOverQuestion</name>
    <message>
        <location filename="../../notes/SaveOverQuestion.cpp" line="9"/>
        <source>Save over a changed note?</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <location filename="../../notes/SaveOverQuestion.cpp" line="10"/>
        <source>This note was changed on the server after you began your draft. Save your draft over the server&apos;s text?</source>
        <translation type="unfinished"></translation>
    </message>
</context>
<context>
    <name>ServerKeyView</name>
    <message>
        <location filename="../../prefs/ServerKeyView.cpp" line="11"/>
        <source>&amp;Trust the new key</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <location filename="../../prefs/ServerKeyView.cpp" line="19"/>
        <source>Trust the new key</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <location filename="../../prefs/ServerKeyView.cpp" line="36"/>
        <source>Trusted key: %1</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <location filename="../../prefs/ServerKeyView.cpp" line="37"/>
        <source>Trusted: certificates the system CAs verify (last key %1)</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <location filename="../../prefs/ServerKeyView.cpp" line="39"/>
        <source>The connection to %1 was refused: the server presented a key the client does not trust, and nothing was sent to it.
%2
Presented key: %3
Trust the new key only if the server&apos;s administrator confirms it.</source>
        <translation type="unfinished"></translation>
    </message>
</context>
<context>
    <name>ViewController</name>
    <message>
        <location filename="../ViewController.ui" line="9"/>
        <location filename="../ViewController.ui" line="69"/>
        <source>Notes</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <location filename="../ViewController.ui" line="30"/>
        <location filename="../ViewController.ui" line="31"/>
        <source>Client search</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <location filename="../ViewController.ui" line="37"/>
        <location filename="../ViewController.ui" line="38"/>
        <source>Project search</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <location filename="../ViewController.ui" line="44"/>
        <location filename="../ViewController.ui" line="45"/>
        <source>Note search</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <location filename="../ViewController.ui" line="51"/>
        <location filename="../ViewController.ui" line="52"/>
        <source>Search</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <location filename="../ViewController.ui" line="64"/>
        <source>Offline copy</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <location filename="../ViewController.ui" line="91"/>
        <source>C&amp;lient:</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <location filename="../ViewController.ui" line="97"/>
        <source>Client</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <location filename="../ViewController.ui" line="103"/>
        <source>P&amp;roject:</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <location filename="../ViewController.ui" line="109"/>
        <source>Project</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <location filename="../ViewController.ui" line="117"/>
        <source>Note text</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <location filename="../ViewController.ui" line="125"/>
        <source>&amp;Save</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <location filename="../ViewController.ui" line="126"/>
        <source>Save</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <location filename="../ViewController.ui" line="131"/>
        <source>&amp;Delete</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <location filename="../ViewController.ui" line="132"/>
        <source>Delete</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <location filename="../ViewController.ui" line="137"/>
        <source>&amp;Mail</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <location filename="../ViewController.ui" line="138"/>
        <source>Mail</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <location filename="../ViewController.ui" line="143"/>
        <source>&amp;New note</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <location filename="../ViewController.ui" line="144"/>
        <source>New note</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <location filename="../ViewController.ui" line="149"/>
        <source>New for cl&amp;ient</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <location filename="../ViewController.ui" line="150"/>
        <source>New note for the client</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <location filename="../ViewController.ui" line="155"/>
        <source>New for &amp;project</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <location filename="../ViewController.ui" line="156"/>
        <source>New note for the project</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <location filename="../ViewController.ui" line="161"/>
        <source>New for &amp;both</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <location filename="../ViewController.ui" line="162"/>
        <source>New note for the client and the project</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <location filename="../../notes/ViewController.cpp" line="120"/>
        <source>Enter the server, your login and your password in Preferences.</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <location filename="../../notes/ViewController.cpp" line="224"/>
        <source>Not saved: the note you were asked about is no longer the one shown. Your text is kept as a draft.</source>
        <translation type="unfinished"></translation>
    </message>
</context>
</TS>
