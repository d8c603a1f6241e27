// Writes statement.xls of this case: BIFF8 of two sheets, the account's
// details first and the movements second, as a card company's site does.
const XLSX = require('xlsx');
const details = [['פרטי חשבון'], ['מספר חשבון', '12-345-678'], ['תאריך הפקה', new Date(2024, 2, 1)]];
const rows = [
  ['פירוט תנועות'],
  [],
  ['תאריך', 'תאור', 'אסמכתא', 'חובה', 'זכות', 'יתרה'],
  [new Date(2024, 1, 1), 'חשמל', 1001, 350.5, null, 4649.5],
  [new Date(2024, 1, 3), 'משכורת', 2002, null, 8000, 12649.5],
  [new Date(2024, 1, 10), 'שיק 12', 12, 1200, null, 11449.5],
  [null, 'סה"כ', null, 1550.5, 8000, null],
];
const book = XLSX.utils.book_new();
XLSX.utils.book_append_sheet(book, XLSX.utils.aoa_to_sheet(details, {cellDates: true, dateNF: 'dd/mm/yyyy'}), 'פרטים');
XLSX.utils.book_append_sheet(book, XLSX.utils.aoa_to_sheet(rows, {cellDates: true, dateNF: 'dd/mm/yyyy'}), 'תנועות');
XLSX.writeFile(book, process.argv[2], {bookType: 'xls'});
