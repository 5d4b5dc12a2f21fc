# Re-indents the JSON text of the selection; an error message replaces it if it is no JSON.
require "json"
puts JSON.pretty_generate(JSON.parse(ARGV.join("\n")))
