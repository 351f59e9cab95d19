// The DuckDB baseline of presenze-bench: the room lines and booking headers
// of a group (two CSV files the benchmark exports from the group's files)
// loaded into an in-memory DuckDB, then the tally of every month of the
// request by one query per month: per hotel, company and night, the persons
// and rooms of the confirmed and of the optional bookings.
//
//   node month-tally.mjs LINES.csv HEADERS.csv YYYY-MM-01 MONTHS
//
// Prints one line of JSON: {"load": seconds, "query": seconds, "rows": n}.

import { DuckDBInstance } from '@duckdb/node-api';

const [linesCsv, headersCsv, firstMonth, monthCount] = process.argv.slice(2);

const seconds = (start) => Number(process.hrtime.bigint() - start) / 1e9;

const quoted = (text) => "'" + text.replaceAll("'", "''") + "'";

const loadStart = process.hrtime.bigint();
const instance = await DuckDBInstance.create(':memory:');
const db = await instance.connect();
await db.run(`CREATE TABLE lines AS SELECT * FROM read_csv(${quoted(linesCsv)}, header = true,
  dateformat = '%Y%m%d', columns = {'numero': 'BIGINT', 'hotel': 'BIGINT', 'tipo': 'VARCHAR',
  'arrivo': 'DATE', 'partenza': 'DATE', 'persone': 'BIGINT', 'camere': 'BIGINT'})`);
await db.run(`CREATE TABLE headers AS SELECT * FROM read_csv(${quoted(headersCsv)}, header = true,
  columns = {'numero': 'BIGINT', 'hotel': 'BIGINT', 'tipo': 'VARCHAR', 'ditta': 'VARCHAR'})`);
const load = seconds(loadStart);

const monthQuery = `
WITH stays AS (
  SELECT l.hotel, h.ditta, h.tipo = 'O' AS opzione, l.persone, l.camere,
         greatest(l.arrivo, $1::DATE) AS dal,
         least(l.partenza, $1::DATE + 31) AS al
  FROM lines l JOIN headers h ON h.hotel = l.hotel AND h.numero = l.numero
  WHERE l.arrivo < $1::DATE + 31 AND l.partenza > $1::DATE AND l.persone > 0
    AND l.tipo IN ('C', 'D', 'O') AND h.tipo IN ('C', 'D', 'O')
)
SELECT hotel, ditta, notte,
       sum(persone) FILTER (WHERE NOT opzione) AS persone_confermate,
       sum(persone) FILTER (WHERE opzione) AS persone_opzionate,
       sum(camere) FILTER (WHERE NOT opzione) AS camere_confermate,
       sum(camere) FILTER (WHERE opzione) AS camere_opzionate
FROM stays, LATERAL (SELECT unnest(range(dal, al, INTERVAL 1 DAY)) AS notte)
GROUP BY hotel, ditta, notte`;

const queryStart = process.hrtime.bigint();
const prepared = await db.prepare(monthQuery);
let rows = 0;
const [year, month] = firstMonth.split('-').map(Number);
for (let m = 0; m < Number(monthCount); ++m) {
  const y = year + Math.floor((month - 1 + m) / 12);
  const mm = ((month - 1 + m) % 12) + 1;
  prepared.bindVarchar(1, `${y}-${String(mm).padStart(2, '0')}-01`);
  const result = await prepared.run();
  // Every row handed over, as a report reads every figure.
  const chunks = await result.fetchAllChunks();
  for (const chunk of chunks)
    rows += chunk.rowCount;
}
const query = seconds(queryStart);

console.log(JSON.stringify({ load, query, rows }));
