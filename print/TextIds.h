#pragma once
// Numbers of the texts in the string tables (GetString). Fixed numbers that
// stored files or other code rely on must not move.
namespace zd::txt {

// Designer context menu and edit commands.
constexpr int BringToFront = 1001;       // "Bring To Front"
constexpr int SendToBack = 1002;         // "Send To Back"
constexpr int EditProperties = 1003;     // "Edit properties..."
constexpr int Sizes = 1004;              // "Sizes..."
constexpr int Cut = 1005;                // "Cut"
constexpr int Copy = 1006;               // "Copy"
constexpr int Paste = 1007;              // "Paste"
constexpr int Delete = 1008;             // "Delete"
constexpr int SelectAll = 1009;          // "Select All"
constexpr int UnselectAll = 1010;        // "Unselect All"
constexpr int InvertSelection = 1011;    // "Invert selection"
constexpr int FontEllipsis = 1012;       // "Font..."
constexpr int NewControlName = 1013;     // "NewZdqControl", display name of a new control
constexpr int Frame = 1014;              // "Frame"
constexpr int Stretch = 1015;            // "Stretch"
constexpr int Transparent = 1016;        // "Transparent"

constexpr int SysDataNames = 1030;   // + ordinal of TZdqSysDataType
constexpr int Band = 1049;           // "Band", put before a band type name
constexpr int BandTypeNames = 1050;  // + ordinal of the band type

// Product identification.
constexpr int ProductName = 1080;        // "ZdReport"
constexpr int ProductVersionNumber = 1081;  // "0.1"
constexpr int ProductVersion = 1082;     // "ZdReport 0.1"

// Common captions and buttons.
constexpr int Add = 1100;                // "Add"
constexpr int Edit = 1101;               // "Edit"
constexpr int Close = 1102;              // "Close"
constexpr int OK = 1103;                 // "&OK"
constexpr int Cancel = 1104;             // "&Cancel"
constexpr int Outline = 1105;            // "Outline"
constexpr int Yes = 1106;                // "&Yes"
constexpr int No = 1107;                 // "&No"
constexpr int Help = 1108;               // "&Help"
constexpr int ErrorCaption = 1109;       // "Error"
constexpr int WarningCaption = 1110;     // "Warning"
constexpr int InformationCaption = 1111; // "Information"
constexpr int ConfirmationCaption = 1112;  // "Confirmation"

// Designer dialog texts other code refers to by number.
constexpr int ExpressionLabel = 1161;    // "Expression:"

// Element property dialogs: the common pages.
constexpr int PageGeneral = 1200;        // "General"
constexpr int PageHighLights = 1201;     // "HighLights"
constexpr int PageDescription = 1202;    // "Description"
constexpr int DisplayNameLabel = 1203;   // "Display name:"
constexpr int HintLabel = 1204;          // "Hint:"
constexpr int ObjectPosition = 1205;     // "Object vertical position"
constexpr int PositionNames = 1206;      // + ordinal of TZdqObjectPosition ("Designed" ...)
constexpr int PrintWhenButton = 1210;    // "Print When..."
constexpr int FontButton = 1211;         // "Font"
constexpr int ControlCaption = 1212;     // "Control properties"
// Print-condition dialog.
constexpr int PrintWhenCaption = 1220;   // "Print when..."
constexpr int RepeatedValues = 1221;     // " Print repeated values "
constexpr int RePrintOnNewPage = 1222;   // "in first whole band of new page/column"
constexpr int OnGroupChange = 1223;      // "when this group changes"
constexpr int OnOverflow = 1224;         // "when detail overflow to new page/column"
constexpr int RemoveBlankLine = 1225;    // "remove line if blank"
constexpr int ShowIf = 1226;             // "print only"
constexpr int HideWhen = 1227;           // "hide when"
// Label dialog.
constexpr int LabelCaption = 1230;       // "Text properties"
constexpr int SizeGroup = 1231;          // " Size "
constexpr int WordWrap = 1232;           // "Word wrap"
constexpr int AngleLabel = 1233;         // "Angle:"
// Shape dialog.
constexpr int ShapeCaption = 1240;       // "Shape properties"
constexpr int StretchDownwards = 1241;   // " Stretch downwards "
constexpr int ShapeStretchNames = 1242;  // + ordinal of TShapeStretch ("No stretch" ...)
constexpr int DoubleLine = 1245;         // "draw a double line"
constexpr int LineStyleGroup = 1246;     // " Line style "
constexpr int LineTypeNames = 1247;      // + ordinal of TLineType ("Top line" ...)
constexpr int RectangleGroup = 1255;     // " Rectangle "
constexpr int RectangleTypeNames = 1256; // + ordinal of TRectangleType ("Rectangle" ...)
constexpr int EllipseGroup = 1260;       // " Ellipse style "
constexpr int EllipseTypeNames = 1261;   // + ordinal of TEllipseType ("Ellipse", "Circle")
// Image dialog.
constexpr int ImageCaption = 1270;       // "Image properties"
constexpr int SourceGroup = 1271;        // " Source "
constexpr int SourceFile = 1272;         // "File"
constexpr int SourceField = 1273;        // "Field"
constexpr int SourcePicture = 1274;      // "Picture"
constexpr int StretchImage = 1275;       // "Stretch image"
constexpr int CenterImage = 1276;        // "Center image"
constexpr int AspectRatio = 1277;        // "Maintain aspect ratio"
constexpr int BarCodeGroup = 1278;       // " BarCode "
constexpr int Vertical = 1279;           // "Vertical"
// Band dialog.
constexpr int BandCaption = 1285;        // "Band properties"
constexpr int BandTypeLabel = 1286;      // "Band type:"
constexpr int OutlineLabel = 1287;       // "Outline:"
constexpr int DatasetLabel = 1288;       // "Dataset:"
// Pen dialog.
constexpr int PenStyleCaption = 1290;    // "Property: PenStyle"
constexpr int ThicknessLabel = 1291;     // "Thickness:"
constexpr int PenStyleNames = 1292;      // + ordinal of TPenStyle ("Solid" ... "InsideFrame")
constexpr int ArgString = 1320;          // "string"  (argument words of the function catalogue)
constexpr int ArgNumber = 1321;          // "number"
constexpr int ArgBoolean = 1322;         // "boolean"
constexpr int ArgDateTime = 1323;        // "datetime"
constexpr int FormatSample = 1395;       // "teSt saMple"
constexpr int Group = 1485;              // "Group"
constexpr int PictureCaption = 1691;     // "Picture..."
constexpr int Load = 1700;               // "Load"
constexpr int Save = 1701;               // "Save"
// Object inspector.
constexpr int InspectorCaption = 1720;   // "ZDQ Object Inspector"
constexpr int InspectorProperties = 1721;  // "Properties"
constexpr int InspectorEvents = 1722;    // "Events"
// Control sizes dialog.
constexpr int ControlSizesCaption = 1740;  // "Control sizes"
constexpr int SizesTop = 1741;           // "Top:", then "Left:", "Width:", "Height:"
// Hatched brush styles, for the tool bar's fill list ("Solid" and "Clear" are the pen's).
constexpr int BrushHatchNames = 1745;    // "Horizontal", "Vertical", "FDiagonal", "BDiagonal", "Cross"
constexpr int ReportParameters = 1790;   // "Report parameters"

// Preview window: caption, tool bar and status bar hints, zoom and lens.
constexpr int PreviewCaption = 1800;     // "Report preview mode"
constexpr int HintPrinterSetup = 1801;   // "Printer setup"
constexpr int HintPrint = 1802;          // "Print on printer"
constexpr int HintOpen = 1803;           // "Open a report form from file"
constexpr int HintSave = 1804;           // "Save a current report into file"
constexpr int FindText = 1805;           // "Find Text" (also the find dialog's caption)
constexpr int HintOnePage = 1806;        // "One page"
constexpr int HintManyPages = 1807;      // "Many pages"
constexpr int HintScale = 1808;          // "Change a view scale"
constexpr int HintThumbnails = 1809;     // "Show/hide the page thumbnails"
constexpr int HintOutlines = 1810;       // "Show/hide the outline links/shortcuts"
constexpr int HintZoomIn = 1811;         // "Increase a scale"
constexpr int HintZoomOut = 1812;        // "Decrease a scale"
constexpr int HintLens = 1813;           // "Show/Hide lens form"
constexpr int HintMargins = 1814;        // "Set on/off a page margin gutters"
constexpr int HintGrid = 1815;           // "Show/hide a grid"
constexpr int HintAbout = 1816;          // "About..."
constexpr int HintClose = 1817;          // "Close a preview window"
constexpr int HintHelp = 1818;           // "Context-sensitive help"
constexpr int HintFirstPage = 1819;      // "First page"
constexpr int HintPrevPage = 1820;       // "Previous page"
constexpr int HintNextPage = 1821;       // "Next page"
constexpr int HintLastPage = 1822;       // "Last page"
constexpr int ScaleFitWidth = 1823;      // "fit to page width"
constexpr int ScaleFitPage = 1824;       // "fit to whole page"
constexpr int ScaleCustom = 1825;        // "custom"
constexpr int ScaleLabel = 1826;         // "Scale: "
constexpr int LensCaption = 1827;        // "Lens form"
constexpr int PageNumberLabel = 1828;    // "page #"
constexpr int PageCountPrefix = 1829;    // "of "
constexpr int HintZoomTo100 = 1830;      // "Zoom to 100%"
constexpr int Sheet = 1831;              // "Sheet"
constexpr int HintZoomToWidth = 1832;    // "Zoom to page width"

// Find-text dialog.
constexpr int FindTextLabel = 1840;      // "&Text to find:"
constexpr int FindOptions = 1841;        // " Options "
constexpr int FindCaseSensitive = 1842;  // "&Case Sensitive"
constexpr int FindAtBeginning = 1843;    // "At a beginning of string"
constexpr int FindExactly = 1844;        // "Exactly coincidence"
constexpr int FindAnyPosition = 1845;    // "Any position"
constexpr int FindScope = 1846;          // " Scope "
constexpr int FindGlobal = 1847;         // "Global"
constexpr int FindCurrentPage = 1848;    // "Current page"

// Designer window: alignment commands (+ command number), file dialogs,
// tool-bar hints and questions.
constexpr int AlignCommands = 1870; // "Align left edges"
constexpr int OpenTemplateTitle = 1880; // "Select a report file name"
constexpr int SaveTemplateTitle = 1881; // "Input report file name"
constexpr int TemplateFilter = 1882; // "ZdReport file (*.zdq)|*.zdq"
constexpr int DesignerCaption = 1883; // "Report designer"
constexpr int HintNewReport = 1884; // "New report"
constexpr int HintUndo = 1885; // "Undo"
constexpr int HintRedo = 1886; // "Redo"
constexpr int HintAddBand = 1887; // "Add a band"
constexpr int HintSelectTool = 1888; // "Select controls"
constexpr int HintOptions = 1889; // "Designer options"
constexpr int HintInspector = 1890; // "Object inspector"
constexpr int HintExplorer = 1891; // "Report explorer"
constexpr int HintWizard = 1892; // "Report wizard"
constexpr int HintReportSettings = 1893; // "Report settings"
constexpr int HintGroups = 1894; // "Groups"
constexpr int HintFrameTop = 1895; // "Top line"
constexpr int HintFrameLeft = 1896; // "Left line"
constexpr int HintFrameBottom = 1897; // "Bottom line"
constexpr int HintFrameRight = 1898; // "Right line"
constexpr int HintLineType = 1899; // "Line type"
constexpr int RestoreRecovery = 1900; // "The designer was not closed properly last time. Restore the report it was editing?"
constexpr int SaveChanges = 1901; // "Save the changes to the report?"
constexpr int HintPreview = 1902; // "Preview the report"

// Palette captions of the control classes.
constexpr int AddLabel = 1911;           // "Add text label"
constexpr int AddExpression = 1912;      // "Add expression"
constexpr int AddSysData = 1913;         // "Add system data/variable"
constexpr int AddImage = 1914;           // "Add image"
constexpr int AddLine = 1915;            // "Add line"
constexpr int AddRectangle = 1916;       // "Add rectangle"
constexpr int AddEllipse = 1917;         // "Add ellipse"
constexpr int AddBarcode = 1918;         // "Add a barcode"
constexpr int AddRichText = 1919;        // "Add a richtext"

constexpr int PaperSizeNames = 1950; // + ordinal of TZdqPaperSize; psCustom is 1980
constexpr int BinNames = 2000;       // + ordinal of TZdqBin

// Engine messages.
constexpr int Preparing = 2050;          // "Preparing..."
constexpr int PreparingPage = 2051;      // "Preparing page %d on the bar %d..."
constexpr int FirstPass = 2052;          // "First pass: "
constexpr int SecondPass = 2053;         // "Second pass: "
constexpr int Printing = 2054;           // "Printing..."
constexpr int SaveFileDialogTitle = 2055;  // "Input a file name for save of then page"
constexpr int AllFilesFilter = 2056;     // "All files (*.*)|*.*"
constexpr int PrintingPage = 2057;       // "Printing page %d on the bar %d (copy #%d)..."
constexpr int Exporting = 2058;          // "Exporting..."
constexpr int ExportingPage = 2059;      // "Exporting %d page on the %dst bar..."
constexpr int NoPrinter = 2060;          // "No printer installed in MS Windows"
constexpr int PropertyNotSpecified = 2061;  // "Property %s wasn't specified."
constexpr int DatasetNotActive = 2062;   // "Dataset is not active."

// Report wizard: heading and description of each page.
constexpr int WizardPageTexts = 2137;    // heading (page-1)*2 + 2137, description page*2 + 2136

// Print and export settings dialog.
constexpr int PrintSetupCaption = 2150;  // "Print setup dialog"
constexpr int ExportSetupCaption = 2151; // "Export setup dialog"
constexpr int PreparedReportFormat = 2152;  // "ZdReport generated"
constexpr int RangeAllPages = 2153;      // "all pages"
constexpr int RangeCurrentPage = 2154;   // "current page"
constexpr int RangeEvenOnly = 2155;      // "even only"
constexpr int RangeOddOnly = 2156;       // "odd only"
constexpr int RangePages = 2157;         // "pages"
constexpr int RangePrompt = 2158;        // "Enter page numbers ... %sFor example, 1,3,5-12."
constexpr int Copies = 2159;             // "Copies:"
constexpr int Collate = 2160;            // "Collate"
constexpr int SaveAs = 2161;             // "Save as:"
constexpr int SeparateFiles = 2162;      // "each page in separated file"

// Exporter description and file-dialog filter, in pairs.
constexpr int ExportTxt = 2170;
constexpr int ExportCsv = 2172;
constexpr int ExportEmf = 2174;
constexpr int ExportWmf = 2176;
constexpr int ExportHtml = 2178;
constexpr int ExportXml = 2180;
constexpr int ExportXls = 2182;
constexpr int ExportWk1 = 2184;
constexpr int ExportWq1 = 2186;
constexpr int ExportRtf = 2188;
constexpr int ExportPdf = 2190;
constexpr int ExportBmp = 2192;
constexpr int ExportTiff = 2194;
constexpr int ExportJpg = 2196;          // each + 1 is the filter text

}  // namespace zd::txt
