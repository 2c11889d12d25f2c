-- Neovim's own language client against scenario-tool lsp, headless, as CI
-- runs it: opens a train text whose signal lands on a taken cell, waits for
-- the diagnostic, checks its line, column and code, asks for hover, types the
-- fix and waits for the diagnostic to go. Quits with 0, or with 1 and the
-- reason on standard error.
--   SCENARIO_TOOL=path/to/scenario-tool CARTELLA=folder nvim --headless --clean \
--     -c 'luafile editors/neovim/prova_diagnostica.lua'
-- CARTELLA holds R_linea.txt and R_T-.txt; line 42 of the train text is
-- "segnale,    2790, ...".
local function esci(stato, messaggio)
  if messaggio then
    io.stderr:write(messaggio .. '\n')
  end
  vim.cmd((stato == 0 and 'qall!') or ('cquit ' .. stato))
end

local function prova()
  local qui = debug.getinfo(1, 'S').source:sub(2)
  local scenario = dofile(vim.fn.fnamemodify(qui, ':p:h') .. '/scenario.lua')
  scenario.setup({ cmd = { assert(os.getenv('SCENARIO_TOOL')), 'lsp' } })
  vim.cmd('edit ' .. vim.fn.fnameescape(assert(os.getenv('CARTELLA')) .. '/R_T-.txt'))
  local buf = vim.api.nvim_get_current_buf()
  if vim.bo[buf].fileencoding ~= 'cp1252' then
    return esci(1, 'the train text was read as ' .. vim.bo[buf].fileencoding .. ', not cp1252')
  end

  local function diagnostiche()
    return vim.diagnostic.get(buf)
  end
  if not vim.wait(20000, function() return #diagnostiche() > 0 end, 50) then
    return esci(1, 'no diagnostic came for R_T-.txt')
  end
  local d = diagnostiche()[1]
  local codice = d.code or (d.user_data and d.user_data.lsp and d.user_data.lsp.code)
  if d.lnum ~= 41 or d.col ~= 12 or d.severity ~= vim.diagnostic.severity.ERROR or codice ~= '16'
      or not d.message:find('lands on cell 57', 1, true) then
    return esci(1, 'unexpected diagnostic: ' .. vim.inspect(d))
  end
  io.stdout:write(string.format('R_T-.txt:%d:%d: [%s] %s\n', d.lnum + 1, d.col + 1, codice, d.message))

  -- The diagnostic's window, as the set-up shapes it: a border, the text
  -- wrapped within the screen, not in the menu's colours.
  vim.api.nvim_win_set_cursor(0, { 42, 12 })
  local _, finestra = vim.diagnostic.open_float(buf, { scope = 'cursor' })
  if not finestra then
    return esci(1, 'no window opened for the diagnostic')
  end
  local forma = vim.api.nvim_win_get_config(finestra)
  local larghezza = vim.api.nvim_win_get_width(finestra)
  local colore = vim.fn.synIDtrans(vim.fn.hlID('NormalFloat'))
  if not forma.border or not vim.wo[finestra].wrap or larghezza > vim.o.columns * 4 / 5
      or colore == vim.fn.hlID('Pmenu') then
    return esci(1, string.format('the diagnostic window is %d wide of %d, wrap %s, border %s, in %s',
      larghezza, vim.o.columns, tostring(vim.wo[finestra].wrap), vim.inspect(forma.border),
      vim.fn.synIDattr(colore, 'name')))
  end
  io.stdout:write(string.format('window: %d of %d columns, wrapped, bordered, in %s\n', larghezza,
    vim.o.columns, vim.fn.synIDattr(colore, 'name')))
  vim.api.nvim_win_close(finestra, true)

  local risposte = vim.lsp.buf_request_sync(buf, 'textDocument/hover', {
    textDocument = { uri = vim.uri_from_bufnr(buf) },
    position = { line = 41, character = 13 },
  }, 10000)
  local testo
  for _, r in pairs(risposte or {}) do
    testo = r.result and r.result.contents and r.result.contents.value
  end
  if not testo or not testo:find('**posizione**, value 1 of 11 of the signal row', 1, true) then
    return esci(1, 'unexpected hover: ' .. vim.inspect(risposte))
  end

  -- The fix, typed over the position: the diagnostic goes.
  vim.api.nvim_buf_set_text(buf, 41, 12, 41, 16, { '2850' })
  if not vim.wait(20000, function() return #diagnostiche() == 0 end, 50) then
    return esci(1, 'the diagnostic stayed after the fix: ' .. vim.inspect(diagnostiche()))
  end
  io.stdout:write('fixed: no diagnostic left\n')
  esci(0)
end

local ok, errore = pcall(prova)
if not ok then
  esci(2, 'the test failed: ' .. tostring(errore))
end
