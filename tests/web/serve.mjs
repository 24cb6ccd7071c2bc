// Serves a folder on 127.0.0.1 with the types a WebAssembly page needs.
// As a program: node serve.mjs DIR [PORT] (the port defaults to 8080).
import http from 'node:http';
import fs from 'node:fs';
import path from 'node:path';
import { fileURLToPath } from 'node:url';

const TYPES = {
  '.html': 'text/html; charset=utf-8', '.js': 'text/javascript', '.wasm': 'application/wasm',
  '.data': 'application/octet-stream', '.png': 'image/png',
};

// Resolves with the listening server; port 0 picks a free one.
export function serve(dir, port = 0) {
  const root = path.resolve(dir);
  const server = http.createServer((req, res) => {
    let name = decodeURIComponent(new URL(req.url, 'http://127.0.0.1').pathname);
    if (name.endsWith('/')) name += 'index.html';
    const file = path.join(root, path.normalize(name));
    if (!file.startsWith(root + path.sep)) { res.writeHead(403).end(); return; }
    fs.readFile(file, (err, body) => {
      if (err) { res.writeHead(404).end('not found'); return; }
      res.writeHead(200, { 'Content-Type': TYPES[path.extname(file)] || 'application/octet-stream',
                           'Cache-Control': 'no-store' });
      res.end(body);
    });
  });
  return new Promise((resolve, reject) => {
    server.once('error', reject);
    server.listen(port, '127.0.0.1', () => resolve(server));
  });
}

if (process.argv[1] === fileURLToPath(import.meta.url)) {
  const dir = process.argv[2] || 'build-web';
  const port = Number(process.argv[3] || 8080);
  if (!fs.existsSync(path.join(dir, 'index.html'))) {
    console.error(`serve: ${dir}/index.html is missing; run make web first`);
    process.exit(2);
  }
  serve(dir, port).then(() => console.log(`Korvane: http://127.0.0.1:${port}/  (Ctrl+C stops)`),
    (err) => { console.error(`serve: ${err.message}`); process.exit(1); });
}
