// Writes the .xls fixture of the import tests (BIFF8, as a bank's site would).
const XLSX = require('xlsx');
const rows = [
  ['תאריך', 'תאור', 'אסמכתא', 'סכום', 'יתרה'],
  [new Date(2024, 1, 1), 'חשמל', '1001', -350.5, 4649.5],
  [new Date(2024, 1, 3), 'משכורת', '2002', 8000, 12649.5],
  [new Date(2024, 1, 5), 'שיק 12', '12', -1200, 11449.5],
];
const sheet = XLSX.utils.aoa_to_sheet(rows, {cellDates: true, dateNF: 'dd/mm/yyyy'});
const book = XLSX.utils.book_new();
XLSX.utils.book_append_sheet(book, sheet, 'תנועות');
// A second sheet of notes puts the workbook stream in the compound file's
// regular sectors rather than its mini stream.
const notes = [];
for (let i = 1; i <= 300; i++) notes.push(['הערה ' + i]);
XLSX.utils.book_append_sheet(book, XLSX.utils.aoa_to_sheet(notes), 'הערות');
XLSX.writeFile(book, process.argv[2], {bookType: 'xls'});
