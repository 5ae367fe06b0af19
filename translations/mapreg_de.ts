<?xml version="1.0" encoding="utf-8"?>
<!DOCTYPE TS>
<TS version="2.1" language="de" sourcelanguage="en">
<context>
    <name>StringTable</name>
    <message>
        <source>&amp;File</source>
        <translation>&amp;Datei</translation>
    </message>
    <message>
        <source>&amp;New	Ctrl+N</source>
        <translation>&amp;Neu	Strg+N</translation>
    </message>
    <message>
        <source>&amp;Open...	Ctrl+O</source>
        <translation>Ö&amp;ffnen...	Strg+O</translation>
    </message>
    <message>
        <source>&amp;Save	Ctrl+S</source>
        <translation>&amp;Speichern	Strg+S</translation>
    </message>
    <message>
        <source>Save &amp;As...</source>
        <translation>Speichern &amp;unter...</translation>
    </message>
    <message>
        <source>Recent File</source>
        <translation>Zuletzt geöffnete Datei</translation>
    </message>
    <message>
        <source>E&amp;xit	Alt+F4</source>
        <translation>&amp;Beenden	Alt+F4</translation>
    </message>
    <message>
        <source>&amp;Map</source>
        <translation>&amp;Karte</translation>
    </message>
    <message>
        <source>&amp;New Bitmap...	F2</source>
        <translation>&amp;Neue Bitmap...	F2</translation>
    </message>
    <message>
        <source>Calibrate	Shift+F2</source>
        <translation>Kalibrieren	Umschalt+F2</translation>
    </message>
    <message>
        <source>&amp;View</source>
        <translation>&amp;Ansicht</translation>
    </message>
    <message>
        <source>&amp;Toolbar</source>
        <translation>&amp;Symbolleiste</translation>
    </message>
    <message>
        <source>&amp;Status Bar</source>
        <translation>Status&amp;leiste</translation>
    </message>
    <message>
        <source>&amp;Settings</source>
        <translation>&amp;Einstellungen</translation>
    </message>
    <message>
        <source>Display &amp;Format...</source>
        <translation>Anzeige&amp;format...</translation>
    </message>
    <message>
        <source>&amp;Help</source>
        <translation>&amp;Hilfe</translation>
    </message>
    <message>
        <source>&amp;About...</source>
        <translation>Ü&amp;ber...</translation>
    </message>
    <message>
        <source>&amp;Calibrate</source>
        <translation>&amp;Kalibrieren</translation>
    </message>
    <message>
        <source>&amp;Set Mark Coordinates	ENTER</source>
        <translation>&amp;Markenkoordinaten festlegen	EINGABE</translation>
    </message>
    <message>
        <source>&amp;Cancel Calibration	ESC</source>
        <translation>Kalibrierung &amp;abbrechen	ESC</translation>
    </message>
    <message>
        <source>&amp;About</source>
        <translation>Ü&amp;ber</translation>
    </message>
    <message>
        <source>Ex&amp;port</source>
        <translation>&amp;Exportieren</translation>
    </message>
    <message>
        <source>&amp;World File</source>
        <translation>&amp;World-File</translation>
    </message>
    <message>
        <source>&amp;GPX Waypoints...</source>
        <translation>&amp;GPX-Wegpunkte...</translation>
    </message>
    <message>
        <source>&amp;OziExplorer Map File...</source>
        <translation>&amp;OziExplorer-Kartendatei...</translation>
    </message>
    <message>
        <source>Zoom &amp;In	Ctrl++</source>
        <translation>Ver&amp;größern	Strg++</translation>
    </message>
    <message>
        <source>Zoom &amp;Out	Ctrl+-</source>
        <translation>Ver&amp;kleinern	Strg+-</translation>
    </message>
    <message>
        <source>&amp;Actual Size	Ctrl+0</source>
        <translation>&amp;Originalgröße	Strg+0</translation>
    </message>
    <message>
        <source>&amp;Fit to Window	Ctrl+9</source>
        <translation>An &amp;Fenster anpassen	Strg+9</translation>
    </message>
    <message>
        <source>Version %1</source>
        <translation>Version %1</translation>
    </message>
    <message>
        <source>OK</source>
        <translation>OK</translation>
    </message>
    <message>
        <source>Cancel</source>
        <translation>Abbrechen</translation>
    </message>
    <message>
        <source>Display Format</source>
        <translation>Anzeigeformat</translation>
    </message>
    <message>
        <source>Coordinate Format</source>
        <translation>Koordinatenformat</translation>
    </message>
    <message>
        <source>&amp;Lat/Lon</source>
        <translation>&amp;Breite/Länge</translation>
    </message>
    <message>
        <source>&amp;UTM</source>
        <translation>&amp;UTM</translation>
    </message>
    <message>
        <source>Lat/Lon &amp;Format</source>
        <translation>&amp;Format für Breite/Länge</translation>
    </message>
    <message>
        <source>Units</source>
        <translation>Einheiten</translation>
    </message>
    <message>
        <source>&amp;Nautical</source>
        <translation>&amp;Seemeilen</translation>
    </message>
    <message>
        <source>&amp;Statute</source>
        <translation>&amp;Landmeilen</translation>
    </message>
    <message>
        <source>&amp;Metric</source>
        <translation>&amp;Metrisch</translation>
    </message>
    <message>
        <source>Example:</source>
        <translation>Beispiel:</translation>
    </message>
    <message>
        <source>Calibration Mark Coordinates</source>
        <translation>Koordinaten der Kalibriermarken</translation>
    </message>
    <message>
        <source>Calibration mark locations</source>
        <translation>Lage der Kalibriermarken</translation>
    </message>
    <message>
        <source>UTM &amp;Zone</source>
        <translation>UTM-&amp;Zone</translation>
    </message>
    <message>
        <source>Calibration units</source>
        <translation>Kalibriereinheiten</translation>
    </message>
    <message>
        <source>Enter calibration mode
Calibrate</source>
        <translation>In den Kalibriermodus wechseln
Kalibrieren</translation>
    </message>
    <message>
        <source>Leave calibration mode and keep the previous calibration
Cancel Calibration</source>
        <translation>Den Kalibriermodus verlassen und die bisherige Kalibrierung behalten
Kalibrierung abbrechen</translation>
    </message>
    <message>
        <source>Loads a new bitmap to be used as the map
New Bitmap</source>
        <translation>Lädt eine neue Bitmap als Karte
Neue Bitmap</translation>
    </message>
    <message>
        <source>Enter the map coordinates of the calibration marks
Set Mark Coordinates</source>
        <translation>Die Kartenkoordinaten der Kalibriermarken eingeben
Markenkoordinaten festlegen</translation>
    </message>
    <message>
        <source>Scroll the map to your position
Find Position</source>
        <translation>Die Karte zu Ihrer Position rollen
Position finden</translation>
    </message>
    <message>
        <source>Choose how positions are shown
Display Format</source>
        <translation>Wählen, wie Positionen angezeigt werden
Anzeigeformat</translation>
    </message>
    <message>
        <source>Enter Waypoints</source>
        <translation>Wegpunkte eingeben</translation>
    </message>
    <message>
        <source>Save Wp points</source>
        <translation>Wegpunkte speichern</translation>
    </message>
    <message>
        <source>Write a world file and its coordinate system beside the map bitmap, for desktop GIS programs
Export World File</source>
        <translation>Ein World-File mit seinem Koordinatensystem neben die Karten-Bitmap schreiben, für GIS-Programme
World-File exportieren</translation>
    </message>
    <message>
        <source>Save the waypoints in a GPX file
Export GPX Waypoints</source>
        <translation>Die Wegpunkte in einer GPX-Datei speichern
GPX-Wegpunkte exportieren</translation>
    </message>
    <message>
        <source>Save the calibration in an OziExplorer .map file, for GPS map apps
Export OziExplorer Map</source>
        <translation>Die Kalibrierung in einer OziExplorer-.map-Datei speichern, für GPS-Karten-Apps
OziExplorer-Karte exportieren</translation>
    </message>
    <message>
        <source>Show the map larger
Zoom In</source>
        <translation>Die Karte größer zeigen
Vergrößern</translation>
    </message>
    <message>
        <source>Show the map smaller
Zoom Out</source>
        <translation>Die Karte kleiner zeigen
Verkleinern</translation>
    </message>
    <message>
        <source>Show the map at one picture pixel per screen pixel
Actual Size</source>
        <translation>Die Karte mit einem Bildpixel je Bildschirmpixel zeigen
Originalgröße</translation>
    </message>
    <message>
        <source>Show the whole map in the window
Fit to Window</source>
        <translation>Die ganze Karte im Fenster zeigen
An Fenster anpassen</translation>
    </message>
    <message>
        <source>Ready</source>
        <translation>Bereit</translation>
    </message>
    <message>
        <source>Create a new map
New</source>
        <translation>Eine neue Karte anlegen
Neu</translation>
    </message>
    <message>
        <source>Open an existing map
Open</source>
        <translation>Eine vorhandene Karte öffnen
Öffnen</translation>
    </message>
    <message>
        <source>Save the active map
Save</source>
        <translation>Die aktive Karte speichern
Speichern</translation>
    </message>
    <message>
        <source>Save the active map with a new name
Save As</source>
        <translation>Die aktive Karte unter neuem Namen speichern
Speichern unter</translation>
    </message>
    <message>
        <source>Open this map</source>
        <translation>Diese Karte öffnen</translation>
    </message>
    <message>
        <source>Display program information and version number
About</source>
        <translation>Programminformationen und Versionsnummer anzeigen
Über</translation>
    </message>
    <message>
        <source>Quit the application; prompts to save the map
Exit</source>
        <translation>Das Programm beenden; fragt, ob die Karte gespeichert werden soll
Beenden</translation>
    </message>
    <message>
        <source>Show or hide the toolbar
Toggle Toolbar</source>
        <translation>Die Symbolleiste ein- oder ausblenden
Symbolleiste ein/aus</translation>
    </message>
    <message>
        <source>Show or hide the status bar
Toggle Status Bar</source>
        <translation>Die Statusleiste ein- oder ausblenden
Statusleiste ein/aus</translation>
    </message>
    <message>
        <source>Out of memory.</source>
        <translation>Nicht genügend Speicher.</translation>
    </message>
    <message>
        <source>Cannot open the file.</source>
        <translation>Die Datei kann nicht geöffnet werden.</translation>
    </message>
    <message>
        <source>Could not find the map bitmap file associated with this map (%1).  Do you want to try to find this bitmap yourself?</source>
        <translation>Die Bitmap-Datei dieser Karte (%1) wurde nicht gefunden.  Möchten Sie die Bitmap selbst suchen?</translation>
    </message>
    <message>
        <source>Bitmap Files (*.bmp) |*.bmp|All Files (*.*)|*.*||</source>
        <translation>Bitmap-Dateien (*.bmp) |*.bmp|Alle Dateien (*.*)|*.*||</translation>
    </message>
    <message>
        <source>Open map bitmap file</source>
        <translation>Karten-Bitmap öffnen</translation>
    </message>
    <message>
        <source>Cannot load the default bitmap.</source>
        <translation>Die eingebaute Bitmap kann nicht geladen werden.</translation>
    </message>
    <message>
        <source>Cannot switch menus.  Exiting .</source>
        <translation>Die Menüs können nicht gewechselt werden.  Das Programm wird beendet.</translation>
    </message>
    <message>
        <source>Two of the calibration marks are too close together.  Increase the distance between those two calibration marks.</source>
        <translation>Zwei der Kalibriermarken liegen zu nahe beieinander.  Vergrößern Sie den Abstand zwischen diesen beiden Kalibriermarken.</translation>
    </message>
    <message>
        <source>The calibration marks form a nearly straight line.  Move the points so that they do not form a nearly straight line.</source>
        <translation>Die Kalibriermarken liegen fast auf einer Geraden.  Verschieben Sie die Punkte so, dass sie nicht fast auf einer Geraden liegen.</translation>
    </message>
    <message>
        <source>Two of the calibration points have equal coordinates.  Change one of these coordinates.</source>
        <translation>Zwei der Kalibrierpunkte haben gleiche Koordinaten.  Ändern Sie eine dieser Koordinaten.</translation>
    </message>
    <message>
        <source>Cursor position: %1</source>
        <translation>Cursorposition: %1</translation>
    </message>
    <message>
        <source>Latitude</source>
        <translation>Breite</translation>
    </message>
    <message>
        <source>Longitude</source>
        <translation>Länge</translation>
    </message>
    <message>
        <source>Easting</source>
        <translation>Rechtswert</translation>
    </message>
    <message>
        <source>Northing</source>
        <translation>Hochwert</translation>
    </message>
    <message>
        <source>One of the coordinate values is not valid and is out of range.</source>
        <translation>Einer der Koordinatenwerte ist ungültig und liegt außerhalb des zulässigen Bereichs.</translation>
    </message>
    <message>
        <source>Invalid UTM zone.  Valid zone numbers range from 1 to 60; valid zone letters range from C to X, except I and O.</source>
        <translation>Ungültige UTM-Zone.  Gültige Zonennummern reichen von 1 bis 60, gültige Zonenbuchstaben von C bis X, außer I und O.</translation>
    </message>
    <message>
        <source>Calibration mode enabled.  Press ENTER to set the map coordinates or press ESC to cancel.</source>
        <translation>Kalibriermodus aktiv.  Drücken Sie EINGABE, um die Kartenkoordinaten festzulegen, oder ESC zum Abbrechen.</translation>
    </message>
    <message>
        <source>To begin calibrating the bitmap, press Shift+F2.</source>
        <translation>Um die Bitmap zu kalibrieren, drücken Sie Umschalt+F2.</translation>
    </message>
    <message>
        <source>Could not initialize the timer object (%1).  Exiting</source>
        <translation>Der Zeitgeber konnte nicht eingerichtet werden (%1).  Das Programm wird beendet</translation>
    </message>
    <message>
        <source>Could not find your position on the map.</source>
        <translation>Ihre Position wurde auf der Karte nicht gefunden.</translation>
    </message>
    <message>
        <source>Cannot allocate the resources necessary to perform this action.</source>
        <translation>Die für diese Aktion nötigen Ressourcen können nicht belegt werden.</translation>
    </message>
    <message>
        <source>This is not a valid  file.</source>
        <translation>Dies ist keine gültige Datei.</translation>
    </message>
    <message>
        <source>This version is unsupported.</source>
        <translation>Diese Version wird nicht unterstützt.</translation>
    </message>
    <message>
        <source>This file contains bad data.</source>
        <translation>Diese Datei enthält fehlerhafte Daten.</translation>
    </message>
    <message>
        <source>There is not enough memory to perform this operation.</source>
        <translation>Für diesen Vorgang ist nicht genügend Speicher vorhanden.</translation>
    </message>
    <message>
        <source>Could not add the sprites to the sprite engine because there is not enough memory.</source>
        <translation>Die Figuren konnten der Karte nicht hinzugefügt werden, weil nicht genügend Speicher vorhanden ist.</translation>
    </message>
    <message>
        <source>Cannot open the map file %1.</source>
        <translation>Die Kartendatei %1 kann nicht geöffnet werden.</translation>
    </message>
    <message>
        <source>Cannot save the map file %1.</source>
        <translation>Die Kartendatei %1 kann nicht gespeichert werden.</translation>
    </message>
    <message>
        <source>Cannot write the file %1.</source>
        <translation>Die Datei %1 kann nicht geschrieben werden.</translation>
    </message>
    <message>
        <source>The file or its folder does not exist.</source>
        <translation>Die Datei oder ihr Ordner existiert nicht.</translation>
    </message>
    <message>
        <source>Permission to use the file was denied.</source>
        <translation>Der Zugriff auf die Datei wurde verweigert.</translation>
    </message>
    <message>
        <source>The disk is read-only.</source>
        <translation>Der Datenträger ist schreibgeschützt.</translation>
    </message>
    <message>
        <source>The disk is full.</source>
        <translation>Der Datenträger ist voll.</translation>
    </message>
    <message>
        <source>The name belongs to a folder, not to a file.</source>
        <translation>Der Name gehört zu einem Ordner, nicht zu einer Datei.</translation>
    </message>
    <message>
        <source>The file name is too long.</source>
        <translation>Der Dateiname ist zu lang.</translation>
    </message>
    <message>
        <source>The file ends before all of its data could be read.</source>
        <translation>Die Datei endet, bevor alle ihre Daten gelesen werden konnten.</translation>
    </message>
    <message>
        <source>The file could not be read.</source>
        <translation>Die Datei konnte nicht gelesen werden.</translation>
    </message>
    <message>
        <source>The file could not be written.</source>
        <translation>Die Datei konnte nicht geschrieben werden.</translation>
    </message>
    <message>
        <source>Save changes to %1?</source>
        <translation>Änderungen an %1 speichern?</translation>
    </message>
    <message>
        <source>Untitled</source>
        <translation>Unbenannt</translation>
    </message>
    <message>
        <source>Waypoints are saved in a file beside the map bitmap, and the default map has none.  Load a map bitmap with New Bitmap first.</source>
        <translation>Wegpunkte werden in einer Datei neben der Karten-Bitmap gespeichert, und die eingebaute Karte hat keine.  Laden Sie zuerst mit „Neue Bitmap“ eine Karten-Bitmap.</translation>
    </message>
    <message>
        <source>A calibration mark lies outside the pixel range that a map file can store (0 to 65535).  Calibrate the map again with all three marks on the picture.</source>
        <translation>Eine Kalibriermarke liegt außerhalb des Pixelbereichs, den eine Kartendatei speichern kann (0 bis 65535).  Kalibrieren Sie die Karte erneut, mit allen drei Marken auf dem Bild.</translation>
    </message>
    <message>
        <source>The file %1 was not written because it would replace the map bitmap or the map file.  Give the map bitmap or the map file another name.</source>
        <translation>Die Datei %1 wurde nicht geschrieben, weil sie die Karten-Bitmap oder die Kartendatei ersetzen würde.  Geben Sie der Karten-Bitmap oder der Kartendatei einen anderen Namen.</translation>
    </message>
    <message>
        <source>Mark %1 lies outside the picture.</source>
        <translation>Marke %1 liegt außerhalb des Bildes.</translation>
    </message>
    <message>
        <source>The map is not calibrated.  Calibrate it before exporting its calibration.</source>
        <translation>Die Karte ist nicht kalibriert.  Kalibrieren Sie sie, bevor Sie ihre Kalibrierung exportieren.</translation>
    </message>
    <message>
        <source>The built-in world map has no bitmap file for other programs to open.  Load a map bitmap with New Bitmap and calibrate it first.</source>
        <translation>Die eingebaute Weltkarte hat keine Bitmap-Datei, die andere Programme öffnen könnten.  Laden Sie zuerst mit „Neue Bitmap“ eine Karten-Bitmap und kalibrieren Sie sie.</translation>
    </message>
    <message>
        <source>There are no waypoints to export.  Place waypoints on the map first.</source>
        <translation>Es gibt keine Wegpunkte zum Exportieren.  Setzen Sie zuerst Wegpunkte auf die Karte.</translation>
    </message>
    <message>
        <source>The calibration cannot be exported because its marks do not define a usable mapping of the picture.  Calibrate the map again.</source>
        <translation>Die Kalibrierung kann nicht exportiert werden, weil ihre Marken keine brauchbare Abbildung des Bildes ergeben.  Kalibrieren Sie die Karte erneut.</translation>
    </message>
    <message>
        <source>%1 of the waypoints have no valid latitude and longitude and were left out of the file.</source>
        <translation>%1 der Wegpunkte haben keine gültige Breite und Länge und wurden nicht in die Datei geschrieben.</translation>
    </message>
    <message>
        <source>GPX Files (*.gpx)|*.gpx|All Files (*.*)|*.*||</source>
        <translation>GPX-Dateien (*.gpx)|*.gpx|Alle Dateien (*.*)|*.*||</translation>
    </message>
    <message>
        <source>OziExplorer Map Files (*.map)|*.map|All Files (*.*)|*.*||</source>
        <translation>OziExplorer-Kartendateien (*.map)|*.map|Alle Dateien (*.*)|*.*||</translation>
    </message>
    <message>
        <source>Map registration from the command line: coordinate conversions and calibration checks.</source>
        <translation>Kartenregistrierung auf der Kommandozeile: Koordinatenumrechnungen und Prüfung von Kalibrierungen.</translation>
    </message>
    <message>
        <source>Print a typed latitude or longitude in decimal degrees.</source>
        <translation>Eine eingegebene Breite oder Länge in Dezimalgrad ausgeben.</translation>
    </message>
    <message>
        <source>The angle as typed, such as &quot;N 48*15.750&apos;&quot;.</source>
        <translation>Der Winkel wie eingegeben, etwa &quot;N 48*15.750&apos;&quot;.</translation>
    </message>
    <message>
        <source>Print the position text of a latitude and longitude.</source>
        <translation>Den Positionstext einer Breite und Länge ausgeben.</translation>
    </message>
    <message>
        <source>Latitude/longitude layout: 0 degrees, 1 minutes, 2 seconds.</source>
        <translation>Darstellung von Breite/Länge: 0 Grad, 1 Minuten, 2 Sekunden.</translation>
    </message>
    <message>
        <source>Show the position as UTM.</source>
        <translation>Die Position als UTM zeigen.</translation>
    </message>
    <message>
        <source>Print the UTM zone, letter, easting and northing of a latitude and longitude.</source>
        <translation>UTM-Zone, -Buchstaben, Rechts- und Hochwert einer Breite und Länge ausgeben.</translation>
    </message>
    <message>
        <source>Print the latitude and longitude of a UTM position.</source>
        <translation>Breite und Länge einer UTM-Position ausgeben.</translation>
    </message>
    <message>
        <source>UTM zone number.</source>
        <translation>UTM-Zonennummer.</translation>
    </message>
    <message>
        <source>UTM latitude band letter.</source>
        <translation>Buchstabe des UTM-Breitenbands.</translation>
    </message>
    <message>
        <source>Check three calibration marks; when they are accepted, map points through them.</source>
        <translation>Drei Kalibriermarken prüfen; werden sie angenommen, Punkte mit ihnen umrechnen.</translation>
    </message>
    <message>
        <source>The marks are in UTM, in the zone given, such as 10U.</source>
        <translation>Die Marken sind in UTM, in der angegebenen Zone, etwa 10U.</translation>
    </message>
    <message>
        <source>A calibration mark: picture x and y in pixels, then its longitude and latitude, or easting and northing.</source>
        <translation>Eine Kalibriermarke: Bild-x und -y in Pixeln, dann ihre Länge und Breite oder ihr Rechts- und Hochwert.</translation>
    </message>
    <message>
        <source>A picture point to map to the world.</source>
        <translation>Ein Bildpunkt, der in Weltkoordinaten umgerechnet wird.</translation>
    </message>
    <message>
        <source>A world point to map to the picture.</source>
        <translation>Ein Weltpunkt, der in Bildkoordinaten umgerechnet wird.</translation>
    </message>
    <message>
        <source>Give exactly three calibration marks (--mark).</source>
        <translation>Geben Sie genau drei Kalibriermarken an (--mark).</translation>
    </message>
    <message>
        <source>The zone letter must be a single character.</source>
        <translation>Der Zonenbuchstabe muss ein einzelnes Zeichen sein.</translation>
    </message>
    <message>
        <source>Print this help with the options of every subcommand and exit</source>
        <translation>Diese Hilfe mit den Optionen jedes Unterbefehls ausgeben und beenden</translation>
    </message>
    <message>
        <source>Exit status: 0 success, 2 usage error, 3 calibration rejected, 4 file or format error.</source>
        <translation>Rückgabewert: 0 Erfolg, 2 Aufruffehler, 3 Kalibrierung abgelehnt, 4 Datei- oder Formatfehler.</translation>
    </message>
    <message>
        <source>Load a map bitmap, calibrate it with three marks and save its map file and registration file.</source>
        <translation>Eine Karten-Bitmap laden, mit drei Marken kalibrieren und ihre Kartendatei und Registrierungsdatei speichern.</translation>
    </message>
    <message>
        <source>The map bitmap (.bmp).</source>
        <translation>Die Karten-Bitmap (.bmp).</translation>
    </message>
    <message>
        <source>The map file to write; by default the bitmap&apos;s path with the extension .gpm.</source>
        <translation>Die zu schreibende Kartendatei; vorgegeben ist der Pfad der Bitmap mit der Endung .gpm.</translation>
    </message>
    <message>
        <source>Print the fields stored in a map file as one JSON object.</source>
        <translation>Die in einer Kartendatei gespeicherten Felder als ein JSON-Objekt ausgeben.</translation>
    </message>
    <message>
        <source>The map file (.gpm).</source>
        <translation>Die Kartendatei (.gpm).</translation>
    </message>
    <message>
        <source>Write the world file and the .aux.xml with the coordinate system beside the bitmap.</source>
        <translation>Das World-File und die .aux.xml mit dem Koordinatensystem neben die Bitmap schreiben.</translation>
    </message>
    <message>
        <source>Write an OziExplorer .map calibration file.</source>
        <translation>Eine OziExplorer-.map-Kalibrierdatei schreiben.</translation>
    </message>
    <message>
        <source>Where to write the .map file (default: beside the bitmap, named after it).</source>
        <translation>Wohin die .map-Datei geschrieben wird (vorgegeben: neben die Bitmap, nach ihr benannt).</translation>
    </message>
    <message>
        <source>Cannot open the map bitmap %1.</source>
        <translation>Die Karten-Bitmap %1 kann nicht geöffnet werden.</translation>
    </message>
    <message>
        <source>Usage: mapreg [OPTION]... [MAP.gpm]
Registers a scanned map picture for a handheld GPS device: opens MAP.gpm, or
starts with a new map.  When the program runs already on this display, the
map opens in its window.

  -h, --help     print this help and exit
  -v, --version  print the version and exit
</source>
        <translation>Aufruf: mapreg [OPTION]... [KARTE.gpm]
Registriert ein gescanntes Kartenbild für ein GPS-Handgerät: öffnet KARTE.gpm
oder beginnt mit einer neuen Karte.  Läuft das Programm auf diesem Bildschirm
schon, öffnet sich die Karte in seinem Fenster.

  -h, --help     diese Hilfe ausgeben und beenden
  -v, --version  die Version ausgeben und beenden
</translation>
    </message>
    <message>
        <source>mapreg: unknown option %1 ignored</source>
        <translation>mapreg: unbekannte Option %1 übergangen</translation>
    </message>
    <message>
        <source>Cannot read the picture %1.</source>
        <translation>Das Bild %1 kann nicht gelesen werden.</translation>
    </message>
    <message>
        <source>The picture %1 is too large for a bitmap file, which holds at most 4 GB.</source>
        <translation>Das Bild %1 ist zu groß für eine Bitmap-Datei, die höchstens 4 GB fasst.</translation>
    </message>
    <message>
        <source>Cannot write the bitmap %1.</source>
        <translation>Die Bitmap %1 kann nicht geschrieben werden.</translation>
    </message>
    <message>
        <source>The coordinate system of %1 is not known, so the map is not calibrated.  Calibrate it by hand.</source>
        <translation>Das Koordinatensystem von %1 ist unbekannt, daher ist die Karte nicht kalibriert.  Kalibrieren Sie sie von Hand.</translation>
    </message>
    <message>
        <source>The map was calibrated from the coordinates stored in the picture.  Its three marks differ from them by at most %1 m anywhere on the map.</source>
        <translation>Die Karte wurde aus den im Bild gespeicherten Koordinaten kalibriert.  Ihre drei Marken weichen überall auf der Karte höchstens %1 m davon ab.</translation>
    </message>
    <message>
        <source>The coordinates stored in %1 cannot be used as a calibration.</source>
        <translation>Die in %1 gespeicherten Koordinaten taugen nicht als Kalibrierung.</translation>
    </message>
    <message>
        <source>Converting %1 ...</source>
        <translation>%1 wird umgewandelt ...</translation>
    </message>
    <message>
        <source>Map pictures</source>
        <translation>Kartenbilder</translation>
    </message>
    <message>
        <source>The bitmap would replace the picture %1 itself.</source>
        <translation>Die Bitmap würde das Bild %1 selbst ersetzen.</translation>
    </message>
    <message>
        <source>The UTM zone %1 is not a zone from 1 to 60.</source>
        <translation>Die UTM-Zone %1 ist keine Zone von 1 bis 60.</translation>
    </message>
    <message>
        <source>Convert a picture (TIFF, JPEG, PNG, ...) to a map bitmap and write its map file, calibrated from the picture&apos;s georeferencing when it has any.</source>
        <translation>Ein Bild (TIFF, JPEG, PNG, ...) in eine Karten-Bitmap umwandeln und ihre Kartendatei schreiben, kalibriert aus der Georeferenzierung des Bildes, wenn es eine hat.</translation>
    </message>
    <message>
        <source>The picture to import.</source>
        <translation>Das zu importierende Bild.</translation>
    </message>
    <message>
        <source>The bitmap to write (default: the picture&apos;s name with .bmp).</source>
        <translation>Die zu schreibende Bitmap (vorgegeben: der Name des Bildes mit .bmp).</translation>
    </message>
    <message>
        <source>Calibrate in latitude/longitude.</source>
        <translation>In Breite/Länge kalibrieren.</translation>
    </message>
    <message>
        <source>Calibrate in UTM, in ZONE (a number, optionally with its band letter) or else in the zone of the picture&apos;s centre.</source>
        <translation>In UTM kalibrieren, in ZONE (eine Nummer, wahlweise mit Bandbuchstaben) oder sonst in der Zone der Bildmitte.</translation>
    </message>
    <message>
        <source>Export the calibration of a map file for other programs: a world file with its coordinate system beside the bitmap, or an OziExplorer .map file; or the map itself for devices and GIS: MBTiles or a GeoTIFF.</source>
        <translation>Die Kalibrierung einer Kartendatei für andere Programme exportieren: ein World-File mit seinem Koordinatensystem neben der Bitmap oder eine OziExplorer-.map-Datei; oder die Karte selbst für Geräte und GIS: MBTiles oder ein GeoTIFF.</translation>
    </message>
    <message>
        <source>Warning: the device will show this map up to %1 m away from where its coordinates put it, more than one pixel, because it reads only the picture&apos;s two outer corners.  Straighten the map for the device to make it exact.</source>
        <translation>Warnung: Das Gerät zeigt diese Karte bis zu %1 m neben der Stelle, an die ihre Koordinaten sie setzen, mehr als ein Pixel, weil es nur die beiden äußeren Ecken des Bildes liest.  Richten Sie die Karte für das Gerät aus, damit sie genau passt.</translation>
    </message>
    <message>
        <source>Cannot read the control points file %1.</source>
        <translation>Die Passpunktdatei %1 kann nicht gelesen werden.</translation>
    </message>
    <message>
        <source>%1, line %2: not a control point. Each line holds mapX,mapY,sourceX,sourceY,enable: four numbers and 0 or 1.</source>
        <translation>%1, Zeile %2: kein Passpunkt. Jede Zeile enthält mapX,mapY,sourceX,sourceY,enable: vier Zahlen und 0 oder 1.</translation>
    </message>
    <message>
        <source>%1, line 1: the coordinate system of the #CRS line cannot be read or converted.</source>
        <translation>%1, Zeile 1: Das Koordinatensystem der #CRS-Zeile kann nicht gelesen oder umgerechnet werden.</translation>
    </message>
    <message>
        <source>%1 names no coordinate system (no #CRS line): choose one with --latlon or --utm ZONE.</source>
        <translation>%1 nennt kein Koordinatensystem (keine #CRS-Zeile): Wählen Sie eines mit --latlon oder --utm ZONE.</translation>
    </message>
    <message>
        <source>%1, line %2: the point cannot be converted into the map&apos;s coordinate system.</source>
        <translation>%1, Zeile %2: Der Punkt kann nicht in das Koordinatensystem der Karte umgerechnet werden.</translation>
    </message>
    <message>
        <source>A fit needs at least three enabled control points.</source>
        <translation>Eine Ausgleichung braucht mindestens drei aktive Passpunkte.</translation>
    </message>
    <message>
        <source>The enabled control points lie on one line in the picture; no fit can be made from them.</source>
        <translation>Die aktiven Passpunkte liegen im Bild auf einer Linie; aus ihnen lässt sich keine Ausgleichung berechnen.</translation>
    </message>
    <message>
        <source>Fit the control points of a points file and print each point&apos;s residuals</source>
        <translation>Die Passpunkte einer Punktdatei ausgleichen und die Restfehler jedes Punkts ausgeben</translation>
    </message>
    <message>
        <source>The control points file (.points)</source>
        <translation>Die Passpunktdatei (.points)</translation>
    </message>
    <message>
        <source>Fit in longitude/latitude on WGS 84</source>
        <translation>In Länge/Breite auf WGS 84 ausgleichen</translation>
    </message>
    <message>
        <source>Fit in UTM, in ZONE (a number, optionally with its band letter)</source>
        <translation>In UTM ausgleichen, in ZONE (eine Nummer, wahlweise mit Bandbuchstaben)</translation>
    </message>
    <message>
        <source>The picture&apos;s width and height, for the device error</source>
        <translation>Breite und Höhe des Bildes, für den Gerätefehler</translation>
    </message>
    <message>
        <source>Print the fit as one JSON object</source>
        <translation>Die Ausgleichung als ein JSON-Objekt ausgeben</translation>
    </message>
    <message>
        <source>Calibrate from the least-squares fit of the control points in this file</source>
        <translation>Aus der Ausgleichung der Passpunkte in dieser Datei kalibrieren</translation>
    </message>
    <message>
        <source>register takes either three --mark options or --points.</source>
        <translation>register nimmt entweder drei Optionen --mark oder --points.</translation>
    </message>
    <message>
        <source>Cannot read the map bitmap %1.</source>
        <translation>Die Karten-Bitmap %1 kann nicht gelesen werden.</translation>
    </message>
    <message>
        <source>Cannot write %1.</source>
        <translation>%1 kann nicht geschrieben werden.</translation>
    </message>
    <message>
        <source>GDAL could not make %1 from the map.</source>
        <translation>GDAL konnte %1 nicht aus der Karte erzeugen.</translation>
    </message>
    <message>
        <source>Write a Garmin custom map: a KMZ of JPEG tiles in latitude/longitude.</source>
        <translation>Eine Garmin-Custom-Map schreiben: ein KMZ aus JPEG-Kacheln in Breite/Länge.</translation>
    </message>
    <message>
        <source>Write MBTiles: Web Mercator tiles for phone map apps.</source>
        <translation>MBTiles schreiben: Web-Mercator-Kacheln für Karten-Apps auf dem Telefon.</translation>
    </message>
    <message>
        <source>Write a Cloud-Optimised GeoTIFF of the bitmap with its calibration.</source>
        <translation>Ein Cloud-Optimised GeoTIFF der Bitmap mit ihrer Kalibrierung schreiben.</translation>
    </message>
    <message>
        <source>The most tiles the device takes (KMZ); the resolution is lowered to fit.</source>
        <translation>Die meisten Kacheln, die das Gerät nimmt (KMZ); die Auflösung wird passend gesenkt.</translation>
    </message>
    <message>
        <source>JPEG quality of the KMZ tiles, 1 to 100.</source>
        <translation>JPEG-Qualität der KMZ-Kacheln, 1 bis 100.</translation>
    </message>
    <message>
        <source>The lowest zoom level of the MBTiles (default: four below the highest).</source>
        <translation>Die niedrigste Zoomstufe der MBTiles (vorgegeben: vier unter der höchsten).</translation>
    </message>
    <message>
        <source>Warp the GeoTIFF north-up into the map&apos;s coordinate system first.</source>
        <translation>Das GeoTIFF zuerst genordet in das Koordinatensystem der Karte entzerren.</translation>
    </message>
    <message>
        <source>The straightened map would be %1 pixels, more than a map file holds (65535 by 65535).  A pixel size of %2 m or more fits (--pixel-size).</source>
        <translation>Die ausgerichtete Karte hätte %1 Pixel, mehr als eine Kartendatei fasst (65535 mal 65535).  Eine Pixelgröße von %2 m oder mehr passt (--pixel-size).</translation>
    </message>
    <message>
        <source>The corners of %1 cannot be placed in the device&apos;s coordinates, so the map cannot be straightened.</source>
        <translation>Die Ecken von %1 lassen sich nicht in die Koordinaten des Geräts setzen, daher kann die Karte nicht ausgerichtet werden.</translation>
    </message>
    <message>
        <source>The map %1 is not calibrated, so it cannot be straightened.</source>
        <translation>Die Karte %1 ist nicht kalibriert, daher kann sie nicht ausgerichtet werden.</translation>
    </message>
    <message>
        <source>Cannot read the bitmap %1 of the map.</source>
        <translation>Die Bitmap %1 der Karte kann nicht gelesen werden.</translation>
    </message>
    <message>
        <source>Straighten a calibrated map for the device: warp its picture into the north-up grid the device reads, and write the new bitmap, its map file and its registration file.</source>
        <translation>Eine kalibrierte Karte für das Gerät ausrichten: ihr Bild in das genordete Raster entzerren, das das Gerät liest, und die neue Bitmap, ihre Kartendatei und ihre Registrierungsdatei schreiben.</translation>
    </message>
    <message>
        <source>The map file to straighten.</source>
        <translation>Die auszurichtende Kartendatei.</translation>
    </message>
    <message>
        <source>The bitmap to write (default: the map&apos;s bitmap name with -straight.bmp).</source>
        <translation>Die zu schreibende Bitmap (vorgegeben: der Bitmap-Name der Karte mit -straight.bmp).</translation>
    </message>
    <message>
        <source>The ground size of a pixel in metres (default: the picture&apos;s at its centre).</source>
        <translation>Die Bodengröße eines Pixels in Metern (vorgegeben: die des Bildes in seiner Mitte).</translation>
    </message>
    <message>
        <source>Straighten the picture for the device instead of converting it pixel for pixel.</source>
        <translation>Das Bild für das Gerät ausrichten, statt es Pixel für Pixel umzuwandeln.</translation>
    </message>
    <message>
        <source>The picture %1 is georeferenced by fewer than three usable control points, so the map is not calibrated.  Calibrate it by hand.</source>
        <translation>Das Bild %1 ist durch weniger als drei brauchbare Passpunkte georeferenziert, daher ist die Karte nicht kalibriert.  Kalibrieren Sie sie von Hand.</translation>
    </message>
    <message>
        <source>The corners of %1 lie outside the area its coordinate system covers, so the map is not calibrated.  Calibrate it by hand.</source>
        <translation>Die Ecken von %1 liegen außerhalb des Gebiets, das ihr Koordinatensystem abdeckt, daher ist die Karte nicht kalibriert.  Kalibrieren Sie sie von Hand.</translation>
    </message>
    <message>
        <source>The picture %1 is too narrow for three calibration marks.  The bitmap is kept for a calibration by hand.</source>
        <translation>Das Bild %1 ist zu schmal für drei Kalibriermarken.  Die Bitmap bleibt für eine Kalibrierung von Hand erhalten.</translation>
    </message>
    <message>
        <source>The picture %1 has no coordinates the program can use, so it cannot be straightened.</source>
        <translation>Das Bild %1 hat keine Koordinaten, die das Programm nutzen kann, daher kann es nicht ausgerichtet werden.</translation>
    </message>
    <message>
        <source>Device ±%1 m</source>
        <translation>Gerät ±%1 m</translation>
    </message>
    <message>
        <source>How far the device puts this map from where its calibration puts it: the device reads only the two outer corners of a north-up picture.  Red when that is more than a pixel.</source>
        <translation>Wie weit das Gerät diese Karte von der Stelle setzt, an die ihre Kalibrierung sie setzt: Das Gerät liest nur die beiden äußeren Ecken eines genordeten Bildes.  Rot, wenn das mehr als ein Pixel ist.</translation>
    </message>
    <message>
        <source>Calibrate</source>
        <translation>Kalibrieren</translation>
    </message>
    <message>
        <source>Apply Control Points</source>
        <translation>Passpunkte anwenden</translation>
    </message>
    <message>
        <source>Add Point %1</source>
        <translation>Passpunkt %1 hinzufügen</translation>
    </message>
    <message>
        <source>Move Point %1</source>
        <translation>Passpunkt %1 verschieben</translation>
    </message>
    <message>
        <source>Edit Point %1</source>
        <translation>Passpunkt %1 bearbeiten</translation>
    </message>
    <message>
        <source>Enable Point %1</source>
        <translation>Passpunkt %1 aktivieren</translation>
    </message>
    <message>
        <source>Delete Point %1</source>
        <translation>Passpunkt %1 löschen</translation>
    </message>
    <message>
        <source>&amp;Undo</source>
        <translation>&amp;Rückgängig:</translation>
    </message>
    <message>
        <source>&amp;Redo</source>
        <translation>&amp;Wiederholen:</translation>
    </message>
    <message>
        <source>&amp;Edit</source>
        <translation>&amp;Bearbeiten</translation>
    </message>
    <message>
        <source>The helper program %1 could not be started.</source>
        <translation>Das Hilfsprogramm %1 konnte nicht gestartet werden.</translation>
    </message>
    <message>
        <source>The helper program that reads the picture stopped unexpectedly.  The map is as it was.</source>
        <translation>Das Hilfsprogramm, das das Bild liest, wurde unerwartet beendet.  Die Karte ist unverändert.</translation>
    </message>
    <message>
        <source>Report progress on standard error as lines &quot;progress F&quot; (F from 0 to 1); on SIGTERM stop at the next step, remove temporary files and exit 5.</source>
        <translation>Den Fortschritt auf der Standardfehlerausgabe als Zeilen &quot;progress F&quot; melden (F von 0 bis 1); bei SIGTERM beim nächsten Schritt anhalten, temporäre Dateien entfernen und mit 5 enden.</translation>
    </message>
    <message>
        <source>Only open the picture: print its width and height when it can be converted.</source>
        <translation>Das Bild nur öffnen: seine Breite und Höhe ausgeben, wenn es umgewandelt werden kann.</translation>
    </message>
    <message>
        <source>Write the bitmap alone and print the calibration found instead of writing the map file.</source>
        <translation>Nur die Bitmap schreiben und die gefundene Kalibrierung ausgeben, statt die Kartendatei zu schreiben.</translation>
    </message>
    <message>
        <source>Print the file extensions of the pictures import reads, one per line.</source>
        <translation>Die Dateiendungen der Bilder ausgeben, die import liest, eine pro Zeile.</translation>
    </message>
    <message>
        <source>%1 is not a plain file (a pipe, socket or device), so it is not read.</source>
        <translation>%1 ist keine gewöhnliche Datei (eine Pipe, ein Socket oder ein Gerät) und wird daher nicht gelesen.</translation>
    </message>
    <message>
        <source>The picture %1 is too wide to convert: a row may hold at most 8 million pixels.</source>
        <translation>Das Bild %1 ist zu breit zum Umwandeln: eine Zeile darf höchstens 8 Millionen Pixel haben.</translation>
    </message>
    <message>
        <source>There is not enough memory to convert the picture %1.</source>
        <translation>Es ist nicht genug Speicher frei, um das Bild %1 umzuwandeln.</translation>
    </message>
    <message>
        <source>The registration file would replace the picture %1 itself.  Give the bitmap another name.</source>
        <translation>Die Registrierungsdatei würde das Bild %1 selbst ersetzen.  Geben Sie der Bitmap einen anderen Namen.</translation>
    </message>
    <message>
        <source>The file %1 was not written because it exists and is not a registration or waypoint file.  Move or rename it first.</source>
        <translation>Die Datei %1 wurde nicht geschrieben, weil sie existiert und keine Registrierungs- oder Wegpunktdatei ist.  Verschieben oder benennen Sie sie zuerst um.</translation>
    </message>
    <message>
        <source>%1 reads the bytes of other files directly (a raw band), which is not allowed.</source>
        <translation>%1 liest die Bytes anderer Dateien direkt (ein Rohband), was nicht erlaubt ist.</translation>
    </message>
    <message>
        <source>&amp;Straighten for Device...</source>
        <translation>Für das Gerät &amp;ausrichten...</translation>
    </message>
    <message>
        <source>Warps the map into the north-up grid the device reads, as a new map
Straighten for Device</source>
        <translation>Entzerrt die Karte in das genordete Raster, das das Gerät liest, als neue Karte
Für das Gerät ausrichten</translation>
    </message>
    <message>
        <source>Straighten the map for the device now?</source>
        <translation>Die Karte jetzt für das Gerät ausrichten?</translation>
    </message>
    <message>
        <source>Straightening %1 ...</source>
        <translation>%1 wird ausgerichtet ...</translation>
    </message>
    <message>
        <source>The map of %1 could not be straightened.</source>
        <translation>Die Karte von %1 konnte nicht ausgerichtet werden.</translation>
    </message>
    <message>
        <source>Garmin Custom Map (KMZ)…</source>
        <translation>Garmin-Benutzerkarte (KMZ)…</translation>
    </message>
    <message>
        <source>MBTiles…</source>
        <translation>MBTiles…</translation>
    </message>
    <message>
        <source>GeoTIFF…</source>
        <translation>GeoTIFF…</translation>
    </message>
    <message>
        <source>Garmin Custom Maps (*.kmz)|*.kmz|All Files (*.*)|*.*||</source>
        <translation>Garmin-Benutzerkarten (*.kmz)|*.kmz|Alle Dateien (*.*)|*.*||</translation>
    </message>
    <message>
        <source>MBTiles (*.mbtiles)|*.mbtiles|All Files (*.*)|*.*||</source>
        <translation>MBTiles (*.mbtiles)|*.mbtiles|Alle Dateien (*.*)|*.*||</translation>
    </message>
    <message>
        <source>GeoTIFF (*.tif)|*.tif;*.tiff|All Files (*.*)|*.*||</source>
        <translation>GeoTIFF (*.tif)|*.tif;*.tiff|Alle Dateien (*.*)|*.*||</translation>
    </message>
    <message>
        <source>Writing %1...</source>
        <translation>%1 wird geschrieben...</translation>
    </message>
    <message>
        <source>Save the map as JPEG tiles in a KMZ file, for Garmin outdoor handhelds
Export Garmin Custom Map</source>
        <translation>Die Karte als JPEG-Kacheln in einer KMZ-Datei speichern, für Garmin-Outdoor-Handgeräte
Garmin-Benutzerkarte exportieren</translation>
    </message>
    <message>
        <source>Save the map as Web Mercator tiles in an MBTiles file, for phone map apps
Export MBTiles</source>
        <translation>Die Karte als Web-Mercator-Kacheln in einer MBTiles-Datei speichern, für Karten-Apps auf dem Telefon
MBTiles exportieren</translation>
    </message>
    <message>
        <source>Save the bitmap with its calibration as a GeoTIFF, for desktop GIS programs
Export GeoTIFF</source>
        <translation>Die Bitmap mit ihrer Kalibrierung als GeoTIFF speichern, für GIS-Programme
GeoTIFF exportieren</translation>
    </message>
    <message>
        <source>mapreg: the running program ended before it opened the map; it opens here</source>
        <translation>mapreg: das laufende Programm wurde beendet, bevor es die Karte öffnete; sie wird hier geöffnet</translation>
    </message>
    <message>
        <source>mapreg: the running program does not answer; this one runs on its own</source>
        <translation>mapreg: das laufende Programm antwortet nicht; dieses läuft für sich</translation>
    </message>
    <message>
        <source>mapreg: the program&apos;s socket belongs to another user; this one runs on its own</source>
        <translation>mapreg: der Socket des Programms gehört einem anderen Benutzer; dieses läuft für sich</translation>
    </message>
    <message>
        <source>Print this help message and exit</source>
        <translation>Diese Hilfe ausgeben und beenden</translation>
    </message>
    <message>
        <source>Display program version information and exit</source>
        <translation>Die Programmversion ausgeben und beenden</translation>
    </message>
    <message>
        <source>Usage</source>
        <translation>Aufruf</translation>
    </message>
    <message>
        <source>Options</source>
        <translation>Optionen</translation>
    </message>
    <message>
        <source>Positionals</source>
        <translation>Argumente</translation>
    </message>
    <message>
        <source>Subcommands</source>
        <translation>Unterbefehle</translation>
    </message>
    <message>
        <source>OPTIONS</source>
        <translation>OPTIONEN</translation>
    </message>
    <message>
        <source>SUBCOMMAND</source>
        <translation>UNTERBEFEHL</translation>
    </message>
    <message>
        <source>REQUIRED</source>
        <translation>ERFORDERLICH</translation>
    </message>
    <message>
        <source>Excludes</source>
        <translation>Schließt aus</translation>
    </message>
    <message>
        <source>Needs</source>
        <translation>Erfordert</translation>
    </message>
    <message>
        <source>[Option Group: %1]</source>
        <translation>[Optionsgruppe: %1]</translation>
    </message>
    <message>
        <source>[Exactly 1 of the following options is required]</source>
        <translation>[Genau eine der folgenden Optionen ist anzugeben]</translation>
    </message>
    <message>
        <source>format</source>
        <translation>Format</translation>
    </message>
    <message>
        <source>How OK reads the field above: decimal degrees with the hemisphere, for UTM those of the mark&apos;s easting, northing and zone</source>
        <translation>So liest OK das Feld darüber: Dezimalgrad mit Halbkugel, bei UTM die aus Rechtswert, Hochwert und Zone der Marke</translation>
    </message>
    <message>
        <source>Pixel %1 × %2 m, turned %3°</source>
        <translation>Pixel %1 × %2 m, gedreht %3°</translation>
    </message>
    <message>
        <source>The ground one pixel covers across and down at the centre of the map, and how far its rows are turned from east (clockwise)</source>
        <translation>Die Bodenfläche eines Pixels quer und abwärts in der Kartenmitte, und wie weit seine Zeilen gegen Osten gedreht sind (im Uhrzeigersinn)</translation>
    </message>
    <message>
        <source>Show the control points table; clicks on the map place and move control points
Control Points</source>
        <translation>Die Passpunkttabelle zeigen; Klicks auf die Karte setzen und verschieben Passpunkte
Passpunkte</translation>
    </message>
    <message>
        <source>Calibrate the map from the least-squares fit of the control points
Apply Control Points</source>
        <translation>Die Karte aus der Ausgleichung der Passpunkte kalibrieren
Passpunkte anwenden</translation>
    </message>
    <message>
        <source>Delete the selected control point
Delete Point</source>
        <translation>Den ausgewählten Passpunkt löschen
Passpunkt löschen</translation>
    </message>
    <message>
        <source>Control &amp;Points</source>
        <translation>&amp;Passpunkte</translation>
    </message>
    <message>
        <source>&amp;Apply Control Points</source>
        <translation>Passpunkte an&amp;wenden</translation>
    </message>
    <message>
        <source>&amp;Delete Point	Del</source>
        <translation>Passpunkt &amp;löschen	Entf</translation>
    </message>
    <message>
        <source>Control Points</source>
        <translation>Passpunkte</translation>
    </message>
    <message>
        <source>Enabled</source>
        <translation>Aktiv</translation>
    </message>
    <message>
        <source>Residual (m)</source>
        <translation>Restfehler (m)</translation>
    </message>
    <message>
        <source>Leave-one-out (m)</source>
        <translation>Ohne den Punkt (m)</translation>
    </message>
    <message>
        <source>RMS %1 m
Worst point: %2
Device error: %3 m</source>
        <translation>RMS %1 m
Schlechtester Punkt: %2
Gerätefehler: %3 m</translation>
    </message>
    <message>
        <source>none</source>
        <translation>keiner</translation>
    </message>
    <message>
        <source>The map is already calibrated.  Replace its calibration by the fit of the control points?</source>
        <translation>Die Karte ist bereits kalibriert.  Ihre Kalibrierung durch die Ausgleichung der Passpunkte ersetzen?</translation>
    </message>
    <message>
        <source>Disable Point %1</source>
        <translation>Passpunkt %1 deaktivieren</translation>
    </message>
    <message>
        <source>The map reaches across the 180° meridian, where a Web Mercator tile set ends, so %1 cannot hold it.  Export it as a Garmin custom map (KMZ) or a GeoTIFF instead.</source>
        <translation>Die Karte reicht über den 180. Längengrad, an dem ein Web-Mercator-Kachelsatz endet, daher kann %1 sie nicht aufnehmen.  Exportieren Sie sie stattdessen als Garmin-Custom-Map (KMZ) oder als GeoTIFF.</translation>
    </message>
    <message>
        <source>The picture %1 reaches across the 180° meridian, where a latitude/longitude map ends on the device, so the map is not calibrated.  Import it in UTM instead.</source>
        <translation>Das Bild %1 reicht über den 180. Längengrad, an dem eine Karte in geographischer Breite/Länge auf dem Gerät endet, daher ist die Karte nicht kalibriert.  Importieren Sie sie stattdessen in UTM.</translation>
    </message>
    <message>
        <source>%1 reaches across the 180° meridian, where a latitude/longitude map ends on the device.  Straighten it into UTM instead.</source>
        <translation>%1 reicht über den 180. Längengrad, an dem eine Karte in geographischer Breite/Länge auf dem Gerät endet.  Richten Sie sie stattdessen in UTM aus.</translation>
    </message>
    <message>
        <source>Warp through the map&apos;s enabled control points with a polynomial of this order: 1, 2 (6 points or more) or 3 (10 or more). The new map is still exact on the device.</source>
        <translation>Durch die aktiven Passpunkte der Karte mit einem Polynom dieser Ordnung entzerren: 1, 2 (ab 6 Punkten) oder 3 (ab 10). Die neue Karte ist auf dem Gerät weiterhin genau.</translation>
    </message>
    <message>
        <source>Warp through the map&apos;s enabled control points with a thin-plate spline (10 points or more).</source>
        <translation>Durch die aktiven Passpunkte der Karte mit einem Thin-Plate-Spline entzerren (ab 10 Punkten).</translation>
    </message>
    <message>
        <source>The map has no control points (%1 is missing), so it cannot be straightened through them.</source>
        <translation>Die Karte hat keine Passpunkte (%1 fehlt), daher kann sie nicht durch sie ausgerichtet werden.</translation>
    </message>
    <message>
        <source>%1: at least %2 enabled control points are needed; the map has %3.</source>
        <translation>%1: mindestens %2 aktive Passpunkte sind nötig; die Karte hat %3.</translation>
    </message>
    <message>
        <source>%1: no fit can be made through the map&apos;s enabled control points; they lie too close to a line in the picture.</source>
        <translation>%1: durch die aktiven Passpunkte der Karte lässt sich keine Ausgleichung legen; sie liegen im Bild zu nahe an einer Linie.</translation>
    </message>
    <message>
        <source>Straighten through which fit?
The map file and the device hold only the calibration&apos;s affine fit; a polynomial or a thin-plate spline through the control points bends the picture itself.</source>
        <translation>Mit welcher Ausgleichung ausrichten?
Kartendatei und Gerät kennen nur die affine Ausgleichung der Kalibrierung; ein Polynom oder ein Thin-Plate-Spline durch die Passpunkte verbiegt das Bild selbst.</translation>
    </message>
    <message>
        <source>Affine, from the calibration</source>
        <translation>Affin, aus der Kalibrierung</translation>
    </message>
    <message>
        <source>First-order polynomial</source>
        <translation>Polynom erster Ordnung</translation>
    </message>
    <message>
        <source>Second-order polynomial</source>
        <translation>Polynom zweiter Ordnung</translation>
    </message>
    <message>
        <source>Third-order polynomial</source>
        <translation>Polynom dritter Ordnung</translation>
    </message>
    <message>
        <source>Thin-plate spline</source>
        <translation>Thin-Plate-Spline</translation>
    </message>
    <message>
        <source>Change Units</source>
        <translation>Einheiten ändern</translation>
    </message>
    <message>
        <source>Add Waypoint %1</source>
        <translation>Wegpunkt %1 hinzufügen</translation>
    </message>
    <message>
        <source>Remove Waypoint %1</source>
        <translation>Wegpunkt %1 entfernen</translation>
    </message>
</context>
</TS>
