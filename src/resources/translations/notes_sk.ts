<?xml version="1.0" encoding="utf-8"?>
<!DOCTYPE TS>
<TS version="2.1" language="sk_SK">
<context>
    <name>DesktopMailComposer</name>
    <message>
        <source>The note is too long for a mail link: the whole text is on the clipboard.</source>
        <translation>Poznámka je na e-mailový odkaz príliš dlhá: celý text je v schránke.</translation>
    </message>
    <message>
        <source>No mail program could be opened for the note.</source>
        <translation>Pre poznámku sa nepodarilo otvoriť poštový program.</translation>
    </message>
</context>
<context>
    <name>Localizable</name>
    <message>
        <source>title_network_connection_required</source>
        <translation>Je potrebné pripojenie k sieti. Skontrolujte, či je počítač online.</translation>
    </message>
    <message>
        <source>title_enter_server_name</source>
        <translation>Zadajte názov servera v nastaveniach.</translation>
    </message>
    <message>
        <source>title_enter_login_password</source>
        <translation>Zadajte prihlasovacie meno a heslo v nastaveniach.</translation>
    </message>
    <message>
        <source>title_client</source>
        <translation>Klient</translation>
    </message>
    <message>
        <source>title_project</source>
        <translation>Projekt</translation>
    </message>
</context>
<context>
    <name>MainWindow</name>
    <message>
        <source>Notes</source>
        <translation>Poznámky</translation>
    </message>
    <message>
        <source>Waiting for the server</source>
        <translation>Čaká sa na server</translation>
    </message>
    <message>
        <source>Status</source>
        <translation>Stav</translation>
    </message>
    <message>
        <source>&amp;File</source>
        <translation>&amp;Súbor</translation>
    </message>
    <message>
        <source>&amp;Preferences…</source>
        <translation>&amp;Nastavenia…</translation>
    </message>
    <message>
        <source>Ctrl+,</source>
        <translation>Ctrl+,</translation>
    </message>
    <message>
        <source>&amp;Quit</source>
        <translation>&amp;Koniec</translation>
    </message>
    <message>
        <source>&amp;Note</source>
        <translation>&amp;Poznámka</translation>
    </message>
    <message>
        <source>&amp;Find</source>
        <translation>&amp;Hľadať</translation>
    </message>
    <message>
        <source>&amp;Search</source>
        <translation>&amp;Vyhľadať</translation>
    </message>
    <message>
        <source>Ctrl+R</source>
        <translation>Ctrl+R</translation>
    </message>
    <message>
        <source>&amp;Save</source>
        <translation>&amp;Uložiť</translation>
    </message>
    <message>
        <source>&amp;New note</source>
        <translation>&amp;Nová poznámka</translation>
    </message>
    <message>
        <source>New note for the &amp;client</source>
        <translation>Nová poznámka pre &amp;klienta</translation>
    </message>
    <message>
        <source>Ctrl+Shift+C</source>
        <translation>Ctrl+Shift+C</translation>
    </message>
    <message>
        <source>New note for the &amp;project</source>
        <translation>Nová poznámka pre &amp;projekt</translation>
    </message>
    <message>
        <source>Ctrl+Shift+P</source>
        <translation>Ctrl+Shift+P</translation>
    </message>
    <message>
        <source>New note for &amp;both</source>
        <translation>Nová poznámka pre &amp;oboch</translation>
    </message>
    <message>
        <source>Ctrl+Shift+B</source>
        <translation>Ctrl+Shift+B</translation>
    </message>
    <message>
        <source>&amp;Delete</source>
        <translation>&amp;Zmazať</translation>
    </message>
    <message>
        <source>&amp;Mail</source>
        <translation>&amp;Poslať e-mailom</translation>
    </message>
    <message>
        <source>Ctrl+M</source>
        <translation>Ctrl+M</translation>
    </message>
</context>
<context>
    <name>NotesTableModel</name>
    <message>
        <source>Created %1</source>
        <translation>Vytvorená %1</translation>
    </message>
    <message>
        <source>Client</source>
        <translation>Klient</translation>
    </message>
    <message>
        <source>Project</source>
        <translation>Projekt</translation>
    </message>
    <message>
        <source>Note</source>
        <translation>Poznámka</translation>
    </message>
</context>
<context>
    <name>PreferencesViewController</name>
    <message>
        <source>Preferences</source>
        <translation>Nastavenia</translation>
    </message>
    <message>
        <source>&amp;Host:</source>
        <translation>&amp;Server:</translation>
    </message>
    <message>
        <source>Host</source>
        <translation>Server</translation>
    </message>
    <message>
        <source>notes.example.com</source>
        <translation>poznamky.example.sk</translation>
    </message>
    <message>
        <source>&amp;Path:</source>
        <translation>&amp;Cesta:</translation>
    </message>
    <message>
        <source>Path</source>
        <translation>Cesta</translation>
    </message>
    <message>
        <source>&amp;Login:</source>
        <translation>&amp;Prihlasovacie meno:</translation>
    </message>
    <message>
        <source>Login</source>
        <translation>Prihlasovacie meno</translation>
    </message>
    <message>
        <source>Pass&amp;word:</source>
        <translation>&amp;Heslo:</translation>
    </message>
    <message>
        <source>Password</source>
        <translation>Heslo</translation>
    </message>
    <message>
        <source>Save and &amp;connect</source>
        <translation>Uložiť a &amp;pripojiť</translation>
    </message>
    <message>
        <source>Save and connect</source>
        <translation>Uložiť a pripojiť</translation>
    </message>
</context>
<context>
    <name>ViewController</name>
    <message>
        <source>Notes</source>
        <translation>Poznámky</translation>
    </message>
    <message>
        <source>Client search</source>
        <translation>Hľadať klienta</translation>
    </message>
    <message>
        <source>Project search</source>
        <translation>Hľadať projekt</translation>
    </message>
    <message>
        <source>Note search</source>
        <translation>Hľadať v poznámkach</translation>
    </message>
    <message>
        <source>Search</source>
        <translation>Hľadať</translation>
    </message>
    <message>
        <source>C&amp;lient:</source>
        <translation>&amp;Klient:</translation>
    </message>
    <message>
        <source>Client</source>
        <translation>Klient</translation>
    </message>
    <message>
        <source>P&amp;roject:</source>
        <translation>P&amp;rojekt:</translation>
    </message>
    <message>
        <source>Project</source>
        <translation>Projekt</translation>
    </message>
    <message>
        <source>Note text</source>
        <translation>Text poznámky</translation>
    </message>
    <message>
        <source>&amp;Save</source>
        <translation>&amp;Uložiť</translation>
    </message>
    <message>
        <source>Save</source>
        <translation>Uložiť</translation>
    </message>
    <message>
        <source>&amp;Delete</source>
        <translation>&amp;Zmazať</translation>
    </message>
    <message>
        <source>Delete</source>
        <translation>Zmazať</translation>
    </message>
    <message>
        <source>&amp;Mail</source>
        <translation>&amp;Poslať e-mailom</translation>
    </message>
    <message>
        <source>Mail</source>
        <translation>E-mail</translation>
    </message>
    <message>
        <source>&amp;New note</source>
        <translation>&amp;Nová poznámka</translation>
    </message>
    <message>
        <source>New note</source>
        <translation>Nová poznámka</translation>
    </message>
    <message>
        <source>New for cl&amp;ient</source>
        <translation>Nová pre kl&amp;ienta</translation>
    </message>
    <message>
        <source>New note for the client</source>
        <translation>Nová poznámka pre klienta</translation>
    </message>
    <message>
        <source>New for &amp;project</source>
        <translation>Nová pre &amp;projekt</translation>
    </message>
    <message>
        <source>New note for the project</source>
        <translation>Nová poznámka pre projekt</translation>
    </message>
    <message>
        <source>New for &amp;both</source>
        <translation>Nová pre &amp;oboch</translation>
    </message>
    <message>
        <source>New note for the client and the project</source>
        <translation>Nová poznámka pre klienta aj projekt</translation>
    </message>
</context>
</TS>
