<?xml version='1.0' encoding='utf-8'?>
<TS version="2.1" language="sk_SK">
<context>
    <name>ComboPickList</name>
    <message>
        <location filename="../../lists/ComboPickList.cpp" line="52" />
        <source>%1 (inactive)</source>
        <translation>%1 (neaktívny)</translation>
    </message>
    <message>
        <location filename="../../lists/ComboPickList.cpp" line="54" />
        <source>%1 is no longer in the list; the note keeps it.</source>
        <translation>%1 už v zozname nie je; poznámka si ho ponechá.</translation>
    </message>
</context>
<context>
    <name>DesktopMailComposer</name>
    <message>
        <location filename="../../notes/DesktopMailComposer.cpp" line="41" />
        <source>The note is too long for a mail link: the whole text is on the clipboard.</source>
        <translation>Poznámka je na e-mailový odkaz príliš dlhá: celý text je v schránke.</translation>
    </message>
    <message>
        <location filename="../../notes/DesktopMailComposer.cpp" line="46" />
        <source>No mail program could be opened for the note.</source>
        <translation>Pre poznámku sa nepodarilo otvoriť poštový program.</translation>
    </message>
</context>
<context>
    <name>DraftsDialog</name>
    <message>
        <location filename="../DraftsDialog.ui" line="8" />
        <location filename="../DraftsDialog.ui" line="9" />
        <location filename="../DraftsDialog.ui" line="19" />
        <source>Drafts</source>
        <translation>Koncepty</translation>
    </message>
    <message>
        <location filename="../DraftsDialog.ui" line="13" />
        <source>Unsaved edits of this account. They stay on this computer until you save or discard them.</source>
        <translation>Neuložené úpravy tohto účtu. Zostávajú v tomto počítači, kým ich neuložíte alebo nezahodíte.</translation>
    </message>
    <message>
        <location filename="../DraftsDialog.ui" line="26" />
        <source>&amp;Open</source>
        <translation>&amp;Otvoriť</translation>
    </message>
    <message>
        <location filename="../DraftsDialog.ui" line="27" />
        <source>Open the draft's note</source>
        <translation>Otvoriť poznámku konceptu</translation>
    </message>
    <message>
        <location filename="../DraftsDialog.ui" line="32" />
        <source>&amp;Add as new note</source>
        <translation>&amp;Pridať ako novú poznámku</translation>
    </message>
    <message>
        <location filename="../DraftsDialog.ui" line="33" />
        <source>Add the draft as a new note</source>
        <translation>Pridať koncept ako novú poznámku</translation>
    </message>
    <message>
        <location filename="../DraftsDialog.ui" line="38" />
        <source>&amp;Discard</source>
        <translation>&amp;Zahodiť</translation>
    </message>
    <message>
        <location filename="../DraftsDialog.ui" line="39" />
        <source>Discard the draft</source>
        <translation>Zahodiť koncept</translation>
    </message>
    <message>
        <location filename="../DraftsDialog.ui" line="49" />
        <source>&amp;Close</source>
        <translation>&amp;Zavrieť</translation>
    </message>
    <message>
        <location filename="../DraftsDialog.ui" line="50" />
        <source>Close</source>
        <translation>Zavrieť</translation>
    </message>
    <message>
        <location filename="../../notes/DraftsDialog.cpp" line="56" />
        <source>in the list</source>
        <translation>v zozname</translation>
    </message>
    <message>
        <location filename="../../notes/DraftsDialog.cpp" line="57" />
        <source>not in the list (filtered out or deleted)</source>
        <translation>nie je v zozname (vyfiltrovaná alebo zmazaná)</translation>
    </message>
    <message>
        <location filename="../../notes/DraftsDialog.cpp" line="59" />
        <source>%1 (edited %2, %3)</source>
        <translation>%1 (upravené %2, %3)</translation>
    </message>
</context>
<context>
    <name>Localizable</name>
    <message>
        <location filename="../../core/Localization.cpp" line="14" />
        <source>title_network_connection_required</source>
        <translation>Je potrebné pripojenie k sieti. Skontrolujte, či je počítač online.</translation>
    </message>
    <message>
        <location filename="../../core/Localization.cpp" line="15" />
        <source>title_enter_server_name</source>
        <translation>Zadajte názov servera v nastaveniach.</translation>
    </message>
    <message>
        <location filename="../../core/Localization.cpp" line="16" />
        <source>title_enter_login_password</source>
        <translation>Zadajte prihlasovacie meno a heslo v nastaveniach.</translation>
    </message>
    <message>
        <location filename="../../core/Localization.cpp" line="17" />
        <source>title_client</source>
        <translation>Klient</translation>
    </message>
    <message>
        <location filename="../../core/Localization.cpp" line="18" />
        <source>title_project</source>
        <translation>Projekt</translation>
    </message>
</context>
<context>
    <name>MainWindow</name>
    <message>
        <location filename="../../app/MainWindow.cpp" line="35" />
        <location filename="../../app/MainWindow.cpp" line="105" />
        <source>Notes</source>
        <translation>Poznámky</translation>
    </message>
    <message>
        <location filename="../../app/MainWindow.cpp" line="42" />
        <source>Waiting for the server</source>
        <translation>Čaká sa na server</translation>
    </message>
    <message>
        <location filename="../../app/MainWindow.cpp" line="45" />
        <source>Status</source>
        <translation>Stav</translation>
    </message>
    <message>
        <location filename="../../app/MainWindow.cpp" line="70" />
        <source>Alerts</source>
        <translation>Upozornenia</translation>
    </message>
    <message>
        <location filename="../../app/MainWindow.cpp" line="72" />
        <location filename="../../app/MainWindow.cpp" line="73" />
        <source>Dismiss</source>
        <translation>Zavrieť</translation>
    </message>
    <message>
        <location filename="../../app/MainWindow.cpp" line="105" />
        <source>Notes — %1</source>
        <translation>Poznámky — %1</translation>
    </message>
    <message>
        <location filename="../../app/MainWindow.cpp" line="146" />
        <source>Changes are still being sent</source>
        <translation>Zmeny sa ešte odosielajú</translation>
    </message>
    <message numerus="yes">
        <location filename="../../app/MainWindow.cpp" line="147" />
        <source>%n change(s) have not reached the server yet. Wait for them and quit then, or quit now and keep unsent edits as drafts?</source>
        <translation>
            <numerusform>%n zmena ešte nedorazila na server. Počkať na ňu a potom skončiť, alebo skončiť hneď a neodoslané úpravy ponechať ako koncepty?</numerusform>
            <numerusform>%n zmeny ešte nedorazili na server. Počkať na ne a potom skončiť, alebo skončiť hneď a neodoslané úpravy ponechať ako koncepty?</numerusform>
            <numerusform>%n zmien ešte nedorazilo na server. Počkať na ne a potom skončiť, alebo skončiť hneď a neodoslané úpravy ponechať ako koncepty?</numerusform>
        </translation>
    </message>
    <message>
        <location filename="../../app/MainWindow.cpp" line="151" />
        <source>Wait, then quit</source>
        <translation>Počkať a potom skončiť</translation>
    </message>
    <message>
        <location filename="../../app/MainWindow.cpp" line="152" />
        <source>Quit now</source>
        <translation>Skončiť hneď</translation>
    </message>
    <message>
        <location filename="../../app/MainWindow.cpp" line="153" />
        <source>Stay</source>
        <translation>Zostať</translation>
    </message>
    <message>
        <location filename="../../app/MainWindow.cpp" line="166" />
        <source>Waiting for the server; the window closes when it has answered.</source>
        <translation>Čaká sa na server; okno sa zavrie, keď odpovie.</translation>
    </message>
    <message>
        <location filename="../../app/MainWindow.cpp" line="235" />
        <source>&amp;File</source>
        <translation>&amp;Súbor</translation>
    </message>
    <message>
        <location filename="../../app/MainWindow.cpp" line="236" />
        <source>&amp;Preferences…</source>
        <translation>&amp;Nastavenia…</translation>
    </message>
    <message>
        <location filename="../../app/MainWindow.cpp" line="236" />
        <source>Ctrl+,</source>
        <translation>Ctrl+,</translation>
    </message>
    <message>
        <location filename="../../app/MainWindow.cpp" line="241" />
        <source>&amp;Quit</source>
        <translation>&amp;Koniec</translation>
    </message>
    <message>
        <location filename="../../app/MainWindow.cpp" line="244" />
        <source>&amp;Note</source>
        <translation>&amp;Poznámka</translation>
    </message>
    <message>
        <location filename="../../app/MainWindow.cpp" line="245" />
        <source>&amp;Find</source>
        <translation>&amp;Hľadať</translation>
    </message>
</context>
<context>
    <name>NoteActions</name>
    <message>
        <location filename="../../notes/NoteActions.cpp" line="18" />
        <source>&amp;Search</source>
        <translation>&amp;Hľadať</translation>
    </message>
    <message>
        <location filename="../../notes/NoteActions.cpp" line="18" />
        <source>Ctrl+R</source>
        <translation>Ctrl+R</translation>
    </message>
    <message>
        <location filename="../../notes/NoteActions.cpp" line="19" />
        <source>&amp;Save</source>
        <translation>&amp;Uložiť</translation>
    </message>
    <message>
        <location filename="../../notes/NoteActions.cpp" line="20" />
        <source>&amp;New note</source>
        <translation>&amp;Nová poznámka</translation>
    </message>
    <message>
        <location filename="../../notes/NoteActions.cpp" line="21" />
        <source>New note for the &amp;client</source>
        <translation>Nová poznámka pre &amp;klienta</translation>
    </message>
    <message>
        <location filename="../../notes/NoteActions.cpp" line="21" />
        <source>Ctrl+Shift+C</source>
        <translation>Ctrl+Shift+C</translation>
    </message>
    <message>
        <location filename="../../notes/NoteActions.cpp" line="22" />
        <source>New note for the &amp;project</source>
        <translation>Nová poznámka pre &amp;projekt</translation>
    </message>
    <message>
        <location filename="../../notes/NoteActions.cpp" line="22" />
        <source>Ctrl+Shift+P</source>
        <translation>Ctrl+Shift+P</translation>
    </message>
    <message>
        <location filename="../../notes/NoteActions.cpp" line="23" />
        <source>New note for &amp;both</source>
        <translation>Nová poznámka pre &amp;oboch</translation>
    </message>
    <message>
        <location filename="../../notes/NoteActions.cpp" line="23" />
        <source>Ctrl+Shift+B</source>
        <translation>Ctrl+Shift+B</translation>
    </message>
    <message>
        <location filename="../../notes/NoteActions.cpp" line="24" />
        <source>&amp;Delete</source>
        <translation>&amp;Zmazať</translation>
    </message>
    <message>
        <location filename="../../notes/NoteActions.cpp" line="25" />
        <source>&amp;Mail</source>
        <translation>&amp;Poslať e-mailom</translation>
    </message>
    <message>
        <location filename="../../notes/NoteActions.cpp" line="25" />
        <source>Ctrl+M</source>
        <translation>Ctrl+M</translation>
    </message>
    <message>
        <location filename="../../notes/NoteActions.cpp" line="26" />
        <source>&amp;Revert to the saved text</source>
        <translation>&amp;Vrátiť uložený text</translation>
    </message>
    <message>
        <location filename="../../notes/NoteActions.cpp" line="27" />
        <source>D&amp;rafts…</source>
        <translation>K&amp;oncepty…</translation>
    </message>
    <message>
        <location filename="../../notes/NoteActions.cpp" line="28" />
        <source>&amp;Reconnect</source>
        <translation>&amp;Znova pripojiť</translation>
    </message>
    <message>
        <location filename="../../notes/NoteActions.cpp" line="28" />
        <source>Ctrl+Shift+R</source>
        <translation>Ctrl+Shift+R</translation>
    </message>
    <message>
        <location filename="../../notes/NoteActions.cpp" line="29" />
        <source>&amp;Forget offline copy</source>
        <translation>&amp;Zabudnúť offline kópiu</translation>
    </message>
</context>
<context>
    <name>NotesAccount</name>
    <message>
        <location filename="../../notes/NotesAccount.cpp" line="59" />
        <source>Your draft could not be written to disk (%1). It is kept while the program runs; save the note or free the disk.</source>
        <translation>Koncept sa nepodarilo zapísať na disk (%1). Zostáva zachovaný, kým program beží; uložte poznámku alebo uvoľnite miesto na disku.</translation>
    </message>
    <message>
        <location filename="../../notes/NotesAccount.cpp" line="64" />
        <source>The drafts file of %1 could not be read; it was set aside as %2.</source>
        <translation>Súbor konceptov účtu %1 sa nedal prečítať; bol odložený ako %2.</translation>
    </message>
    <message>
        <location filename="../../notes/NotesAccount.cpp" line="96" />
        <source>%1: %2</source>
        <translation>%1: %2</translation>
    </message>
    <message>
        <location filename="../../notes/NotesAccount.cpp" line="118" />
        <source>No network connection. Signing in is tried all the same.</source>
        <translation>Bez pripojenia k sieti. Prihlásenie sa aj tak skúsi.</translation>
    </message>
    <message>
        <location filename="../../notes/NotesAccount.cpp" line="155" />
        <source>The server at %1 answered the login with HTTP status %2. Check the host and the path in Preferences.</source>
        <translation>Server %1 odpovedal na prihlásenie stavom HTTP %2. Skontrolujte server a cestu v Nastaveniach.</translation>
    </message>
    <message>
        <location filename="../../notes/NotesAccount.cpp" line="159" />
        <source>The server at %1 did not answer like a notes server. Check the host and the path in Preferences.</source>
        <translation>Server %1 neodpovedal ako server poznámok. Skontrolujte server a cestu v Nastaveniach.</translation>
    </message>
    <message>
        <location filename="../../notes/NotesAccount.cpp" line="169" />
        <source>Signed in to %1 as %2. Loading the notes…</source>
        <translation>Prihlásené na %1 ako %2. Načítavajú sa poznámky…</translation>
    </message>
    <message numerus="yes">
        <location filename="../../notes/NotesAccount.cpp" line="180" />
        <source>The server cannot be reached. Saving, adding and deleting wait until it is back; your edits are kept as drafts. Trying again in %n second(s).</source>
        <translation>
            <numerusform>Server je nedostupný. Ukladanie, pridávanie a mazanie počká, kým bude späť; vaše úpravy zostávajú ako koncepty. Ďalší pokus o %n sekundu.</numerusform>
            <numerusform>Server je nedostupný. Ukladanie, pridávanie a mazanie počká, kým bude späť; vaše úpravy zostávajú ako koncepty. Ďalší pokus o %n sekundy.</numerusform>
            <numerusform>Server je nedostupný. Ukladanie, pridávanie a mazanie počká, kým bude späť; vaše úpravy zostávajú ako koncepty. Ďalší pokus o %n sekúnd.</numerusform>
        </translation>
    </message>
    <message>
        <location filename="../../notes/NotesAccount.cpp" line="208" />
        <source>The offline copy could not be used; it was set aside as %1.</source>
        <translation>Offline kópiu nebolo možné použiť; bola odložená ako %1.</translation>
    </message>
    <message>
        <location filename="../../notes/NotesAccount.cpp" line="220" />
        <source>Offline copy from %1</source>
        <translation>Offline kópia z %1</translation>
    </message>
    <message>
        <location filename="../../notes/NotesAccount.cpp" line="276" />
        <source>Not while the server cannot be reached; your edits are kept as drafts.</source>
        <translation>Nie je k dispozícii, kým je server nedostupný; vaše úpravy zostávajú ako koncepty.</translation>
    </message>
    <message>
        <location filename="../../notes/NotesAccount.cpp" line="278" />
        <source>Not while the table shows the offline copy; your edits are kept as drafts until the server's list arrives.</source>
        <translation>Nie, kým tabuľka ukazuje offline kópiu; vaše úpravy sa uchovajú ako koncepty, kým nepríde zoznam zo servera.</translation>
    </message>
    <message>
        <location filename="../../notes/NotesAccount.cpp" line="281" />
        <source>Not before you are signed in; your edits are kept as drafts.</source>
        <translation>Nie pred prihlásením; vaše úpravy sa uchovajú ako koncepty.</translation>
    </message>
    <message>
        <location filename="../../notes/NotesAccount.cpp" line="289" />
        <source>Offline copy from %1: these notes are what the server held then.</source>
        <translation>Offline kópia z %1: tieto poznámky mal server vtedy.</translation>
    </message>
    <message>
        <location filename="../../notes/NotesAccount.cpp" line="292" />
        <source>The server cannot be reached; search works on the copy.</source>
        <translation>Server je nedostupný; vyhľadávanie prebieha v kópii.</translation>
    </message>
    <message>
        <location filename="../../notes/NotesAccount.cpp" line="294" />
        <source>The server cannot be reached. Your edits are kept as drafts.</source>
        <translation>Server je nedostupný. Vaše úpravy zostávajú ako koncepty.</translation>
    </message>
    <message numerus="yes">
        <location filename="../../notes/NotesAccount.cpp" line="382" />
        <source>%n note(s) found in the offline copy.</source>
        <translation>
            <numerusform>V offline kópii sa našla %n poznámka.</numerusform>
            <numerusform>V offline kópii sa našli %n poznámky.</numerusform>
            <numerusform>V offline kópii sa našlo %n poznámok.</numerusform>
        </translation>
    </message>
    <message numerus="yes">
        <location filename="../../notes/NotesAccount.cpp" line="402" />
        <source>%n note(s) found.</source>
        <translation>
            <numerusform>Nájdená %n poznámka.</numerusform>
            <numerusform>Nájdené %n poznámky.</numerusform>
            <numerusform>Nájdených %n poznámok.</numerusform>
        </translation>
    </message>
    <message numerus="yes">
        <location filename="../../notes/NotesAccount.cpp" line="403" />
        <source>%n note(s) loaded.</source>
        <translation>
            <numerusform>Načítaná %n poznámka.</numerusform>
            <numerusform>Načítané %n poznámky.</numerusform>
            <numerusform>Načítaných %n poznámok.</numerusform>
        </translation>
    </message>
    <message>
        <location filename="../../notes/NotesAccount.cpp" line="427" />
        <source>Note added; it is not in the current search</source>
        <translation>Poznámka pridaná; v aktuálnom vyhľadávaní nie je</translation>
    </message>
    <message>
        <location filename="../../notes/NotesAccount.cpp" line="430" />
        <source>The note of this draft is not in the list (it may be deleted, or beyond the %1 notes loaded). Search for it, or add the draft as a new note from Note → Drafts…</source>
        <translation>Poznámka tohto konceptu nie je v zozname (možno bola zmazaná alebo je za %1 načítanými poznámkami). Vyhľadajte ju alebo pridajte koncept ako novú poznámku cez Poznámka → Koncepty…</translation>
    </message>
    <message>
        <location filename="../../notes/NotesAccount.cpp" line="436" />
        <source>The note you were editing is no longer on the server. Your text stays in the editor and is kept as a draft; add it as a new note from Note → Drafts…</source>
        <translation>Poznámka, ktorú ste upravovali, už na serveri nie je. Váš text zostáva v editore a uchová sa ako koncept; pridajte ho ako novú poznámku cez Poznámka → Koncepty…</translation>
    </message>
    <message>
        <location filename="../../notes/NotesAccount.cpp" line="462" />
        <source>Not saved: the note is no longer in the list. Your text is kept as a draft.</source>
        <translation>Neuložené: poznámka už nie je v zozname. Váš text sa uchová ako koncept.</translation>
    </message>
    <message>
        <location filename="../../notes/NotesAccount.cpp" line="516" />
        <source>The draft was dropped; the note shows the saved text.</source>
        <translation>Koncept bol zahodený; poznámka ukazuje uložený text.</translation>
    </message>
    <message>
        <location filename="../../notes/NotesAccount.cpp" line="560" />
        <source>The offline copy of this account was deleted.</source>
        <translation>Offline kópia tohto účtu bola zmazaná.</translation>
    </message>
    <message>
        <location filename="../../notes/NotesAccount.cpp" line="593" />
        <source>Note saved.</source>
        <translation>Poznámka uložená.</translation>
    </message>
    <message>
        <location filename="../../notes/NotesAccount.cpp" line="595" />
        <source>The connection broke while the note was being saved: it may or may not be stored. Your text is kept as a draft.</source>
        <translation>Spojenie sa prerušilo počas ukladania poznámky: nemusí byť uložená. Váš text zostáva ako koncept.</translation>
    </message>
    <message>
        <location filename="../../notes/NotesAccount.cpp" line="598" />
        <source>Note not saved: %1. Your text is kept.</source>
        <translation>Poznámka nebola uložená: %1. Váš text zostáva.</translation>
    </message>
    <message>
        <location filename="../../notes/NotesAccount.cpp" line="616" />
        <source>Note added.</source>
        <translation>Poznámka pridaná.</translation>
    </message>
    <message>
        <location filename="../../notes/NotesAccount.cpp" line="618" />
        <source>The connection broke while the note was being added: it may or may not exist now. Check the list before adding it again.</source>
        <translation>Spojenie sa prerušilo počas pridávania poznámky: nemusí existovať. Pred ďalším pridaním skontrolujte zoznam.</translation>
    </message>
    <message>
        <location filename="../../notes/NotesAccount.cpp" line="621" />
        <source>Note not added: %1.</source>
        <translation>Poznámka nebola pridaná: %1.</translation>
    </message>
    <message>
        <location filename="../../notes/NotesAccount.cpp" line="634" />
        <source>Note deleted.</source>
        <translation>Poznámka zmazaná.</translation>
    </message>
    <message>
        <location filename="../../notes/NotesAccount.cpp" line="636" />
        <source>The connection broke while the note was being deleted: it may or may not be gone.</source>
        <translation>Spojenie sa prerušilo počas mazania poznámky: nemusí byť zmazaná.</translation>
    </message>
    <message>
        <location filename="../../notes/NotesAccount.cpp" line="639" />
        <source>Note not deleted: %1.</source>
        <translation>Poznámka nebola zmazaná: %1.</translation>
    </message>
</context>
<context>
    <name>NotesTableModel</name>
    <message>
        <location filename="../../notes/NotesTableModel.cpp" line="110" />
        <source>%1, unsaved draft</source>
        <translation>%1, neuložený koncept</translation>
    </message>
    <message>
        <location filename="../../notes/NotesTableModel.cpp" line="124" />
        <source>The server's time stamp cannot be read: %1</source>
        <translation>Časový údaj servera sa nedá prečítať: %1</translation>
    </message>
    <message>
        <location filename="../../notes/NotesTableModel.cpp" line="127" />
        <source>

Unsaved draft: select the note to see it, Save to store it.</source>
        <translation>

Neuložený koncept: vyberte poznámku, aby ste ho videli, a Uložte ho.</translation>
    </message>
    <message>
        <location filename="../../notes/NotesTableModel.cpp" line="150" />
        <source>Client</source>
        <translation>Klient</translation>
    </message>
    <message>
        <location filename="../../notes/NotesTableModel.cpp" line="152" />
        <source>Project</source>
        <translation>Projekt</translation>
    </message>
    <message>
        <location filename="../../notes/NotesTableModel.cpp" line="154" />
        <source>Note</source>
        <translation>Poznámka</translation>
    </message>
    <message>
        <location filename="../../notes/NotesTableModel.cpp" line="156" />
        <source>Created</source>
        <translation>Vytvorená</translation>
    </message>
</context>
<context>
    <name>PasswordStore</name>
    <message>
        <location filename="../../core/PasswordStore.cpp" line="103" />
        <source>No desktop keychain answered: your password is kept in the settings file, readable by you alone.</source>
        <translation>Neodpovedala žiadna kľúčenka pracovného prostredia: heslo zostáva v súbore nastavení, čitateľnom len pre vás.</translation>
    </message>
</context>
<context>
    <name>PreferencesViewController</name>
    <message>
        <location filename="../PreferencesViewController.ui" line="9" />
        <location filename="../PreferencesViewController.ui" line="12" />
        <source>Preferences</source>
        <translation>Nastavenia</translation>
    </message>
    <message>
        <location filename="../PreferencesViewController.ui" line="19" />
        <source>&amp;Host:</source>
        <translation>&amp;Server:</translation>
    </message>
    <message>
        <location filename="../PreferencesViewController.ui" line="25" />
        <source>Host</source>
        <translation>Server</translation>
    </message>
    <message>
        <location filename="../PreferencesViewController.ui" line="26" />
        <source>notes.example.com</source>
        <translation>poznamky.example.sk</translation>
    </message>
    <message>
        <location filename="../PreferencesViewController.ui" line="38" />
        <source>&amp;Path:</source>
        <translation>&amp;Cesta:</translation>
    </message>
    <message>
        <location filename="../PreferencesViewController.ui" line="44" />
        <source>Path</source>
        <translation>Cesta</translation>
    </message>
    <message>
        <location filename="../PreferencesViewController.ui" line="56" />
        <source>&amp;Login:</source>
        <translation>&amp;Prihlasovacie meno:</translation>
    </message>
    <message>
        <location filename="../PreferencesViewController.ui" line="62" />
        <source>Login</source>
        <translation>Prihlasovacie meno</translation>
    </message>
    <message>
        <location filename="../PreferencesViewController.ui" line="67" />
        <source>Pass&amp;word:</source>
        <translation>&amp;Heslo:</translation>
    </message>
    <message>
        <location filename="../PreferencesViewController.ui" line="73" />
        <source>Password</source>
        <translation>Heslo</translation>
    </message>
    <message>
        <location filename="../PreferencesViewController.ui" line="92" />
        <source>Connecting</source>
        <translation>Pripája sa</translation>
    </message>
    <message>
        <location filename="../PreferencesViewController.ui" line="102" />
        <source>Save and &amp;connect</source>
        <translation>Uložiť a &amp;pripojiť</translation>
    </message>
    <message>
        <location filename="../PreferencesViewController.ui" line="103" />
        <source>Save and connect</source>
        <translation>Uložiť a pripojiť</translation>
    </message>
    <message>
        <location filename="../../prefs/PreferencesViewController.cpp" line="36" />
        <location filename="../../prefs/PreferencesViewController.cpp" line="37" />
        <source>Cancel</source>
        <translation>Zrušiť</translation>
    </message>
    <message>
        <location filename="../../prefs/PreferencesViewController.cpp" line="172" />
        <source>Enter the server's host name.</source>
        <translation>Zadajte názov servera.</translation>
    </message>
    <message>
        <location filename="../../prefs/PreferencesViewController.cpp" line="175" />
        <source>Enter a host name such as notes.example.com, an IPv4 address or an IPv6 address in brackets, optionally followed by :port (1 to 65535).</source>
        <translation>Zadajte názov servera, napríklad notes.example.com, adresu IPv4 alebo adresu IPv6 v hranatých zátvorkách, prípadne s :portom (1 až 65535).</translation>
    </message>
    <message>
        <location filename="../../prefs/PreferencesViewController.cpp" line="180" />
        <source>Leave the path empty or start it with "/"; it cannot hold @ ? # \, blanks or control characters.</source>
        <translation>Cestu nechajte prázdnu alebo ju začnite znakom „/“; nesmie obsahovať @ ? # \, medzery ani riadiace znaky.</translation>
    </message>
    <message>
        <location filename="../../prefs/PreferencesViewController.cpp" line="201" />
        <source>Connecting to %1…</source>
        <translation>Pripája sa k %1…</translation>
    </message>
    <message>
        <location filename="../../prefs/PreferencesViewController.cpp" line="218" />
        <source>The login did not succeed.</source>
        <translation>Prihlásenie sa nepodarilo.</translation>
    </message>
</context>
<context>
    <name>RequestReport</name>
    <message>
        <location filename="../../net/RequestReport.cpp" line="34" />
        <source>Not signed in: %1.</source>
        <translation>Neprihlásené: %1.</translation>
    </message>
    <message>
        <location filename="../../net/RequestReport.cpp" line="37" />
        <source>The clients could not be loaded: %1.</source>
        <translation>Klientov sa nepodarilo načítať: %1.</translation>
    </message>
    <message>
        <location filename="../../net/RequestReport.cpp" line="39" />
        <source>The projects could not be loaded: %1.</source>
        <translation>Projekty sa nepodarilo načítať: %1.</translation>
    </message>
    <message>
        <location filename="../../net/RequestReport.cpp" line="41" />
        <source>The notes could not be loaded: %1. The list shows what it showed before.</source>
        <translation>Poznámky sa nepodarilo načítať: %1. Zoznam ukazuje to, čo predtým.</translation>
    </message>
    <message>
        <location filename="../../net/RequestReport.cpp" line="78" />
        <source>the server refused it: %1</source>
        <translation>server ju odmietol: %1</translation>
    </message>
    <message>
        <location filename="../../net/RequestReport.cpp" line="81" />
        <source>the connection broke before the server answered</source>
        <translation>spojenie sa prerušilo skôr, než server odpovedal</translation>
    </message>
    <message>
        <location filename="../../net/RequestReport.cpp" line="82" />
        <source>the server could not be reached (%1)</source>
        <translation>server je nedostupný (%1)</translation>
    </message>
    <message>
        <location filename="../../net/RequestReport.cpp" line="85" />
        <source>the server's answer could not be read</source>
        <translation>odpoveď servera sa nedá prečítať</translation>
    </message>
    <message>
        <location filename="../../net/RequestReport.cpp" line="88" />
        <source>the server's answer is not an HTTP answer</source>
        <translation>odpoveď servera nie je odpoveďou HTTP</translation>
    </message>
    <message>
        <location filename="../../net/RequestReport.cpp" line="89" />
        <source>the server answered with HTTP status %1</source>
        <translation>server odpovedal stavom HTTP %1</translation>
    </message>
    <message>
        <location filename="../../net/RequestReport.cpp" line="91" />
        <source>it was cancelled</source>
        <translation>bola zrušená</translation>
    </message>
    <message>
        <location filename="../../net/RequestReport.cpp" line="104" />
        <source>The server sent more than %1 items; %2 more were left out.</source>
        <translation>Server poslal viac ako %1 položiek; ďalších %2 sa vynechalo.</translation>
    </message>
    <message numerus="yes">
        <location filename="../../net/RequestReport.cpp" line="115" />
        <source>The server's list broke off: only the %n item(s) before the break are shown.</source>
        <translation>
            <numerusform>Zoznam servera sa prerušil: zobrazuje sa len %n položka pred prerušením.</numerusform>
            <numerusform>Zoznam servera sa prerušil: zobrazujú sa len %n položky pred prerušením.</numerusform>
            <numerusform>Zoznam servera sa prerušil: zobrazuje sa len %n položiek pred prerušením.</numerusform>
        </translation>
    </message>
</context>
<context>
    <name>SaveOverQuestion</name>
    <message>
        <location filename="../../notes/SaveOverQuestion.cpp" line="9" />
        <source>Save over a changed note?</source>
        <translation>Uložiť cez zmenenú poznámku?</translation>
    </message>
    <message>
        <location filename="../../notes/SaveOverQuestion.cpp" line="10" />
        <source>This note was changed on the server after you began your draft. Save your draft over the server's text?</source>
        <translation>Táto poznámka sa na serveri zmenila po tom, čo ste začali koncept. Uložiť koncept namiesto textu na serveri?</translation>
    </message>
</context>
<context>
    <name>ServerKeyView</name>
    <message>
        <location filename="../../prefs/ServerKeyView.cpp" line="11" />
        <source>&amp;Trust the new key</source>
        <translation>&amp;Dôverovať novému kľúču</translation>
    </message>
    <message>
        <location filename="../../prefs/ServerKeyView.cpp" line="19" />
        <source>Trust the new key</source>
        <translation>Dôverovať novému kľúču</translation>
    </message>
    <message>
        <location filename="../../prefs/ServerKeyView.cpp" line="36" />
        <source>Trusted key: %1</source>
        <translation>Dôveryhodný kľúč: %1</translation>
    </message>
    <message>
        <location filename="../../prefs/ServerKeyView.cpp" line="37" />
        <source>Trusted: certificates the system CAs verify (last key %1)</source>
        <translation>Dôveryhodné: certifikáty overené systémovými CA (posledný kľúč %1)</translation>
    </message>
    <message>
        <location filename="../../prefs/ServerKeyView.cpp" line="39" />
        <source>The connection to %1 was refused: the server presented a key the client does not trust, and nothing was sent to it.
%2
Presented key: %3
Trust the new key only if the server's administrator confirms it.</source>
        <translation>Spojenie so serverom %1 bolo odmietnuté: server predložil kľúč, ktorému klient nedôveruje, a nič sa mu neodoslalo.
%2
Predložený kľúč: %3
Novému kľúču dôverujte, len ak ho potvrdí správca servera.</translation>
    </message>
</context>
<context>
    <name>ViewController</name>
    <message>
        <location filename="../ViewController.ui" line="9" />
        <location filename="../ViewController.ui" line="69" />
        <source>Notes</source>
        <translation>Poznámky</translation>
    </message>
    <message>
        <location filename="../ViewController.ui" line="30" />
        <location filename="../ViewController.ui" line="31" />
        <source>Client search</source>
        <translation>Hľadať klienta</translation>
    </message>
    <message>
        <location filename="../ViewController.ui" line="37" />
        <location filename="../ViewController.ui" line="38" />
        <source>Project search</source>
        <translation>Hľadať projekt</translation>
    </message>
    <message>
        <location filename="../ViewController.ui" line="44" />
        <location filename="../ViewController.ui" line="45" />
        <source>Note search</source>
        <translation>Hľadať v poznámkach</translation>
    </message>
    <message>
        <location filename="../ViewController.ui" line="51" />
        <location filename="../ViewController.ui" line="52" />
        <source>Search</source>
        <translation>Hľadať</translation>
    </message>
    <message>
        <location filename="../ViewController.ui" line="64" />
        <source>Offline copy</source>
        <translation>Offline kópia</translation>
    </message>
    <message>
        <location filename="../ViewController.ui" line="91" />
        <source>C&amp;lient:</source>
        <translation>&amp;Klient:</translation>
    </message>
    <message>
        <location filename="../ViewController.ui" line="97" />
        <source>Client</source>
        <translation>Klient</translation>
    </message>
    <message>
        <location filename="../ViewController.ui" line="103" />
        <source>P&amp;roject:</source>
        <translation>P&amp;rojekt:</translation>
    </message>
    <message>
        <location filename="../ViewController.ui" line="109" />
        <source>Project</source>
        <translation>Projekt</translation>
    </message>
    <message>
        <location filename="../ViewController.ui" line="117" />
        <source>Note text</source>
        <translation>Text poznámky</translation>
    </message>
    <message>
        <location filename="../ViewController.ui" line="125" />
        <source>&amp;Save</source>
        <translation>&amp;Uložiť</translation>
    </message>
    <message>
        <location filename="../ViewController.ui" line="126" />
        <source>Save</source>
        <translation>Uložiť</translation>
    </message>
    <message>
        <location filename="../ViewController.ui" line="131" />
        <source>&amp;Delete</source>
        <translation>&amp;Zmazať</translation>
    </message>
    <message>
        <location filename="../ViewController.ui" line="132" />
        <source>Delete</source>
        <translation>Zmazať</translation>
    </message>
    <message>
        <location filename="../ViewController.ui" line="137" />
        <source>&amp;Mail</source>
        <translation>&amp;Poslať e-mailom</translation>
    </message>
    <message>
        <location filename="../ViewController.ui" line="138" />
        <source>Mail</source>
        <translation>E-mail</translation>
    </message>
    <message>
        <location filename="../ViewController.ui" line="143" />
        <source>&amp;New note</source>
        <translation>&amp;Nová poznámka</translation>
    </message>
    <message>
        <location filename="../ViewController.ui" line="144" />
        <source>New note</source>
        <translation>Nová poznámka</translation>
    </message>
    <message>
        <location filename="../ViewController.ui" line="149" />
        <source>New for cl&amp;ient</source>
        <translation>Nová pre kl&amp;ienta</translation>
    </message>
    <message>
        <location filename="../ViewController.ui" line="150" />
        <source>New note for the client</source>
        <translation>Nová poznámka pre klienta</translation>
    </message>
    <message>
        <location filename="../ViewController.ui" line="155" />
        <source>New for &amp;project</source>
        <translation>Nová pre &amp;projekt</translation>
    </message>
    <message>
        <location filename="../ViewController.ui" line="156" />
        <source>New note for the project</source>
        <translation>Nová poznámka pre projekt</translation>
    </message>
    <message>
        <location filename="../ViewController.ui" line="161" />
        <source>New for &amp;both</source>
        <translation>Nová pre &amp;oboch</translation>
    </message>
    <message>
        <location filename="../ViewController.ui" line="162" />
        <source>New note for the client and the project</source>
        <translation>Nová poznámka pre klienta aj projekt</translation>
    </message>
    <message>
        <location filename="../../notes/ViewController.cpp" line="120" />
        <source>Enter the server, your login and your password in Preferences.</source>
        <translation>Zadajte server, prihlasovacie meno a heslo v Nastaveniach.</translation>
    </message>
    <message>
        <location filename="../../notes/ViewController.cpp" line="224" />
        <source>Not saved: the note you were asked about is no longer the one shown. Your text is kept as a draft.</source>
        <translation>Neuložené: poznámka, na ktorú sa otázka týkala, už nie je zobrazená. Váš text sa uchová ako koncept.</translation>
    </message>
</context>
</TS>