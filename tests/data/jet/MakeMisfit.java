// Writes an Access (Jet 4) phone book of version 0 whose tables differ from the old program's:
// Vesk has a wider Name and one field more (Birthday); the Work table, named WORK, a wider Phone
// and one field more (Notes, a Memo). 120 numbered Personal cards fit the new tables; a Personal
// name of 25 characters, a Personal card without a name and a Work extension of 5 digits do not.
// usage: java MakeMisfit OUT.MDB
import com.healthmarketscience.jackcess.*;
import java.io.File;

public class MakeMisfit {
  static ColumnBuilder text(String name, int chars) {
    return new ColumnBuilder(name, DataType.TEXT).setLengthInUnits(chars);
  }

  public static void main(String[] a) throws Exception {
    File out = new File(a[0]);
    out.delete();
    Database db = new DatabaseBuilder(out).setFileFormat(Database.FileFormat.V2000).create();
    Table vesk = new TableBuilder("Vesk")
        .addColumn(text("Name", 30)).addColumn(text("Phone", 12)).addColumn(text("Mobil", 12))
        .addColumn(text("Line", 10)).addColumn(text("Fax", 12)).addColumn(text("Address", 255))
        .addColumn(text("Email", 40)).addColumn(text("Birthday", 10)).toTable(db);
    Table work = new TableBuilder("WORK")
        .addColumn(text("Name", 20)).addColumn(text("Phone", 12)).addColumn(text("Mobil", 12))
        .addColumn(text("Home", 12)).addColumn(text("Dept", 20)).addColumn(text("Address", 255))
        .addColumn(text("Email", 40)).addColumn(new ColumnBuilder("Notes", DataType.MEMO)).toTable(db);
    Table details = new TableBuilder("dbDetails")
        .addColumn(new ColumnBuilder("dbVerNum", DataType.BYTE))
        .addColumn(text("dbVerDesc", 40)).toTable(db);
    details.addRow((byte) 0, "Initial Version");
    for (int i = 1; i <= 120; i++)
      vesk.addRow(String.format("Card %03d", i), String.format("03-%07d", i), null, "", null,
                  " ", String.format("user%d@example.org", i), "1970-01-01");
    vesk.addRow("A name twenty-five chars!", "04-1234567", null, null, null, " ", " ", null);
    vesk.addRow(null, "04-7654321", null, null, null, "Nameless", null, null);
    work.addRow("Ron Katz", "1234", "052-1112233", null, "Sales", " ", null, "a long note");
    work.addRow("Long Ext", "12345", null, null, null, null, null, null);
    db.close();
  }
}
